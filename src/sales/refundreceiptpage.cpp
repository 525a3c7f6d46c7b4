// The refund window's page for a refund with a receipt: the receipt's lines, the copies to
// refund of each (never more than is left of the line) and which are damaged.
#include "refunddialog.h"

#include "counterbox.h"
#include "errorpolicy.h"
#include "messageboxes.h"
#include "recordsource.h"
#include "screenheading.h"
#include "tender.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
enum LineColumn {
    IsbnColumn,
    TitleColumn,
    PriceColumn,
    SoldColumn,
    BackColumn,
    RefundColumn,
    DamagedColumn
};
} // namespace

QWidget *RefundDialog::buildReceiptPage() {
    auto *page = new QWidget(this);
    receiptNumber_ = named<QLineEdit>("txtReceipt", page);
    receiptNumber_->setPlaceholderText(QStringLiteral("as printed, such as A17"));
    counterbox::enlarge(receiptNumber_, 14, true);
    auto *show = named<QPushButton>("cmdShowReceipt", QStringLiteral("S&how Lines"), page);
    lines_ = named<QTableWidget>("grdReceiptLines", page);
    lines_->setColumnCount(7);
    lines_->setHorizontalHeaderLabels({QStringLiteral("ISBN"), QStringLiteral("Title"),
                                       QStringLiteral("Price paid"), QStringLiteral("Sold"),
                                       QStringLiteral("Back before"), QStringLiteral("Refund"),
                                       QStringLiteral("Damaged")});
    lines_->setAccessibleName(QStringLiteral("The receipt's lines"));
    lines_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lines_->verticalHeader()->hide();
    lines_->horizontalHeader()->setSectionResizeMode(TitleColumn, QHeaderView::Stretch);
    auto *row = new QHBoxLayout;
    row->addWidget(captionFor(QStringLiteral("Receipt &number:"), receiptNumber_, page));
    row->addWidget(receiptNumber_, 1);
    row->addWidget(show);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(row);
    layout->addWidget(lines_, 1);
    connect(show, &QPushButton::clicked, this, [this] { showReceipt(); });
    counterbox::onEnter(receiptNumber_, [this] { showReceipt(); });
    return page;
}

bool RefundDialog::showReceipt() {
    receipt_.reset();
    lines_->setRowCount(0);
    const bool shown = policy::reportOnError(messages_, [this] {
        receipt_ = find_ ? find_(receiptNumber_->text())
                         : shop::receiptToRefund(titles_->connection(), receiptNumber_->text());
    });
    if (!shown) {
        counterbox::focusSelected(receiptNumber_);
        showAmount();
        return false;
    }
    lines_->setRowCount(static_cast<int>(receipt_->lines.size()));
    for (int row = 0; row < lines_->rowCount(); ++row) {
        const RefundableLine &line = receipt_->lines[static_cast<std::size_t>(row)];
        const QStringList cells{line.isbn, line.title, tender::shown(line.price),
                                QString::number(line.sold), QString::number(line.back)};
        for (int column = 0; column < cells.size(); ++column) {
            auto *item = new QTableWidgetItem(cells[column]);
            if (column >= PriceColumn)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            lines_->setItem(row, column, item);
        }
        auto *copies = new QSpinBox(lines_);
        copies->setObjectName(QStringLiteral("spnRefund_%1").arg(row));
        copies->setRange(0, static_cast<int>(std::max<qint64>(0, line.left())));
        copies->setAccessibleName(QStringLiteral("Copies to refund of %1").arg(line.title));
        copies->setEnabled(line.left() > 0);
        lines_->setCellWidget(row, RefundColumn, copies);
        auto *cell = new QWidget(lines_); // the box in the middle of its column
        auto *damaged = new QCheckBox(cell);
        damaged->setObjectName(QStringLiteral("chkDamaged_%1").arg(row));
        damaged->setAccessibleName(QStringLiteral("%1 damaged").arg(line.title));
        auto *centre = new QHBoxLayout(cell);
        centre->setContentsMargins(0, 0, 0, 0);
        centre->addWidget(damaged, 0, Qt::AlignCenter);
        lines_->setCellWidget(row, DamagedColumn, cell);
        connect(copies, &QSpinBox::valueChanged, this, [this] { showAmount(); });
    }
    lines_->resizeColumnsToContents();
    lines_->horizontalHeader()->setSectionResizeMode(TitleColumn, QHeaderView::Stretch);
    if (auto *first = lines_->cellWidget(0, RefundColumn))
        first->setFocus();
    showAmount();
    return true;
}

void RefundDialog::setLineRefund(int row, qint64 copies, bool damaged) {
    if (auto *spin = qobject_cast<QSpinBox *>(lines_->cellWidget(row, RefundColumn)))
        spin->setValue(static_cast<int>(copies)); // never more than the line has left
    if (auto *box = damagedAt(row))
        box->setChecked(damaged);
}

QCheckBox *RefundDialog::damagedAt(int row) const {
    QWidget *cell = lines_->cellWidget(row, DamagedColumn);
    return cell != nullptr ? cell->findChild<QCheckBox *>() : nullptr;
}

std::optional<std::vector<RefundLineRecord>> RefundDialog::receiptLines() {
    if (!receipt_) {
        messages_.inform(QStringLiteral("Type the receipt's number and press Enter: its lines "
                                        "show, and you choose what is given back."));
        receiptNumber_->setFocus();
        return std::nullopt;
    }
    std::vector<RefundLineRecord> lines;
    for (int row = 0; row < lines_->rowCount(); ++row) {
        const auto *spin = qobject_cast<QSpinBox *>(lines_->cellWidget(row, RefundColumn));
        const QCheckBox *damaged = damagedAt(row);
        if (spin == nullptr || spin->value() == 0)
            continue;
        const RefundableLine &line = receipt_->lines[static_cast<std::size_t>(row)];
        lines.push_back({static_cast<int>(lines.size()) + 1, line.line, line.bookNo, line.isbn,
                         line.title, line.price, spin->value(),
                         damaged != nullptr && damaged->isChecked()});
    }
    if (lines.empty()) {
        messages_.inform(QStringLiteral("Set the copies to refund of at least one line of the "
                                        "receipt %1.")
                             .arg(receipt_->readable));
        lines_->setFocus();
        return std::nullopt;
    }
    return lines;
}

Money RefundDialog::receiptSum() const {
    Money sum;
    if (!receipt_)
        return sum;
    for (int row = 0; row < lines_->rowCount(); ++row)
        if (const auto *spin = qobject_cast<QSpinBox *>(lines_->cellWidget(row, RefundColumn)))
            sum += receipt_->lines[static_cast<std::size_t>(row)].price.times(spin->value());
    return sum;
}
