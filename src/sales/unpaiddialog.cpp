// The list of a till's unpaid receipts.
#include "unpaiddialog.h"

#include "conversions.h"
#include "screenheading.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

UnpaidDialog::UnpaidDialog(const std::vector<UnpaidReceipt> &receipts, QWidget *parent)
    : QDialog(parent), receipts_(receipts), table_(named<QTableWidget>("grdUnpaid", this)) {
    setObjectName(QStringLiteral("frmUnpaid"));
    setWindowTitle(QStringLiteral("Unpaid Receipts"));
    table_->setColumnCount(4);
    table_->setHorizontalHeaderLabels({QStringLiteral("Receipt"), QStringLiteral("Opened"),
                                       QStringLiteral("Lines"), QStringLiteral("Total")});
    table_->setRowCount(static_cast<int>(receipts_.size()));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    for (int row = 0; row < table_->rowCount(); ++row) {
        const UnpaidReceipt &receipt = receipts_[static_cast<std::size_t>(row)];
        const QStringList cells{receipt.readable, conv::momentText(receipt.opened),
                                QString::number(receipt.lines), receipt.total.text()};
        for (int column = 0; column < cells.size(); ++column) {
            auto *item = new QTableWidgetItem(cells[column]);
            if (column >= 2)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(row, column, item);
        }
    }
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->selectRow(0);
    QLabel *caption =
        captionFor(QStringLiteral("&Receipts not yet paid at this till:"), table_, this);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Take Up"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(table_, &QTableWidget::cellActivated, this, &QDialog::accept);
    auto *page = new QVBoxLayout(this);
    page->addWidget(caption);
    page->addWidget(table_);
    page->addWidget(buttons);
    resize(460, 300);
}

QString UnpaidDialog::chosen() const {
    const int row = table_->currentRow();
    if (row < 0 || row >= static_cast<int>(receipts_.size()))
        return {};
    return receipts_[static_cast<std::size_t>(row)].id;
}
