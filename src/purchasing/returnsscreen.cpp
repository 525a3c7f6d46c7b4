// The deadline list, the return note and the supplier's credit.
#include "returnsscreen.h"

#include "clock.h"
#include "conversions.h"
#include "errorpolicy.h"
#include "gridprinter.h"
#include "messageboxes.h"
#include "printpreview.h"
#include "purchaseorders.h"
#include "screenheading.h"
#include "screenids.h"
#include "shopsession.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column { Deadline, Isbn, Title, Delivery, Unsold, Cost, Back, Columns };

} // namespace

ReturnsScreen::ReturnsScreen(const ShopContext &context, QWidget *parent)
    : ShopScreen(context, screenid::Returns, QStringLiteral("Returns to Suppliers"),
                 QSize(900, 520), parent),
      session_(ShopSession::open(context.shop)) {
    QLabel *heading = titleHeading();
    suppliers_ = named<QComboBox>("cboSupplier", this);
    suppliers_->setEditable(true);
    suppliers_->setInsertPolicy(QComboBox::NoInsert);
    days_ = named<QSpinBox>("spnDays", this);
    days_->setRange(0, 3660);
    days_->setValue(14);
    days_->setSuffix(QStringLiteral(" days"));
    lines_ = named<QTableWidget>("twLines", 0, Columns, this);
    lines_->setHorizontalHeaderLabels({QStringLiteral("Return by"), QStringLiteral("ISBN"),
                                       QStringLiteral("Title"), QStringLiteral("Delivery"),
                                       QStringLiteral("Unsold"), QStringLiteral("Cost"),
                                       QStringLiteral("Send back")});
    lines_->horizontalHeader()->setSectionResizeMode(Title, QHeaderView::Stretch);
    lines_->setAccessibleName(QStringLiteral("Copies to send back"));
    creditNumber_ = named<QLineEdit>("txtCreditNo", this);
    creditAmount_ = named<QLineEdit>("txtCreditAmount", this);
    credit_ = named<QLabel>("lblCredit", this);

    auto *list =
        stepButton("cmdList", QStringLiteral("Li&st"), this, &ReturnsScreen::listDeadlines);
    auto *make = stepButton("cmdReturn", QStringLiteral("&Make Return Note..."), this,
                            [this] { makeReturnNote(); });
    auto *record = stepButton("cmdCredit", QStringLiteral("Record Cr&edit Note"), this,
                              &ReturnsScreen::recordCredit);
    auto *close = closeButton();
    connect(suppliers_, &QComboBox::textActivated, this, &ReturnsScreen::listDeadlines);

    auto *top = new QHBoxLayout;
    top->addWidget(captionFor(QStringLiteral("&Supplier:"), suppliers_, this));
    top->addWidget(suppliers_, 1);
    top->addWidget(captionFor(QStringLiteral("&Deadline within:"), days_, this));
    top->addWidget(days_);
    top->addWidget(list);
    auto *credit = new QHBoxLayout;
    credit->addWidget(credit_, 1);
    credit->addWidget(captionFor(QStringLiteral("Credit &note No:"), creditNumber_, this));
    credit->addWidget(creditNumber_);
    credit->addWidget(captionFor(QStringLiteral("&Amount:"), creditAmount_, this));
    credit->addWidget(creditAmount_);
    credit->addWidget(record);
    QHBoxLayout *buttons = buttonRow({rowStretch, make, close});
    auto *page = new QVBoxLayout(this);
    page->addWidget(heading);
    page->addLayout(top);
    page->addWidget(lines_, 1);
    page->addLayout(credit);
    page->addLayout(buttons);
    setFocusProxy(suppliers_);

    policy::reportOnError(*context_.messages, [this] {
        suppliers_->addItems(shop::supplierNames(session_->connection()));
        listDeadlines();
    });
}

void ReturnsScreen::listDeadlines() {
    lines_->setRowCount(0);
    shown_.clear();
    policy::reportOnError(*context_.messages, [this] {
        shown_ = shop::returnDeadlines(session_->connection(), context_.clock->today(),
                                       days_->value(), suppliers_->currentText().trimmed());
        lines_->setRowCount(static_cast<int>(shown_.size()));
        for (int row = 0; row < lines_->rowCount(); ++row) {
            const Returnable &r = shown_[static_cast<std::size_t>(row)];
            const QStringList cells{conv::dateText(r.returnBy),
                                    r.isbn,
                                    r.title,
                                    QString::number(r.delivery),
                                    QString::number(r.unsold),
                                    r.cost.text(),
                                    QString::number(r.unsold)};
            for (int column = 0; column < Columns; ++column) {
                auto *item = new QTableWidgetItem(cells[column]);
                if (column != Back)
                    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
                lines_->setItem(row, column, item);
            }
        }
        lines_->resizeColumnToContents(Isbn);
        showCredit();
    });
}

void ReturnsScreen::showCredit() {
    const QString supplier = suppliers_->currentText().trimmed();
    if (supplier.isEmpty()) {
        credit_->clear();
        return;
    }
    const SupplierCredit credit = shop::supplierCredit(session_->connection(), supplier);
    credit_->setText(QStringLiteral("Credit expected from %1: %2; credit notes received: %3.")
                         .arg(supplier, credit.expected.text(), credit.noted.text()));
}

qint64 ReturnsScreen::makeReturnNote(bool preview) {
    ReturnNote note{suppliers_->currentText().trimmed(), {}, context_.clock->now()};
    for (int row = 0; row < lines_->rowCount(); ++row) {
        const QString typed = lines_->item(row, Back)->text().trimmed();
        bool whole = false;
        const qint64 copies = typed.toLongLong(&whole);
        if (!whole || copies < 0) {
            context_.messages->inform(QStringLiteral("\"%1\" is not a whole number of copies to "
                                                     "send back: type 0, 1, 2 ...")
                                          .arg(typed));
            lines_->setCurrentCell(row, Back);
            return 0;
        }
        if (copies > 0)
            note.lines.push_back({shown_[static_cast<std::size_t>(row)].entry, copies});
    }
    qint64 returnNo = 0;
    policy::reportOnError(*context_.messages, [&] {
        const QStringList warnings =
            shop::returnWarnings(session_->connection(), note, context_.clock->today());
        bool accepted = warnings.isEmpty();
        if (!accepted &&
            !context_.messages->confirm(warnings.join(QLatin1Char('\n')) +
                                        QStringLiteral("\n\nSend them back all the same?")))
            return;
        returnNo = shop::makeReturn(*session_, note, context_.clock->today(), true);
    });
    if (returnNo == 0)
        return 0;
    listDeadlines();
    if (preview) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setDocName(QStringLiteral("Return note %1").arg(returnNo));
        QPrintPreviewDialog dialog(&printer, this);
        connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
                [&](QPrinter *paper) { printNote(*paper, returnNo); });
        printpreview::fit(&dialog, QSize(900, 700));
        dialog.exec();
    }
    return returnNo;
}

int ReturnsScreen::printNote(QPagedPaintDevice &device, qint64 returnNo) {
    PrintedTable table;
    Statement select = session_->connection().prepare(QStringLiteral(
        "SELECT r.[Supplier], l.[ISBN], l.[Title], l.[Copies], l.[Cost], l.[Delivery] FROM "
        "[supplierreturns] r JOIN [returnlines] l ON l.[ReturnNo] = r.[ReturnNo] WHERE "
        "r.[ReturnNo] = ?1 ORDER BY l.[Entry]"));
    select.bindAll({returnNo});
    std::vector<QStringList> cells;
    QString supplier;
    qint64 credit = 0;
    while (select.step()) {
        supplier = select.value(0).toString();
        const Money cost = Money::orZero(select.value(4));
        credit += cost.units() * select.value(3).toLongLong();
        cells.push_back({select.value(1).toString(), select.value(2).toString(),
                         select.value(3).toString(), cost.text(), select.value(5).toString()});
    }
    table.title = QStringLiteral("Return note %1 to %2").arg(returnNo).arg(supplier);
    table.subtitle = QStringLiteral("Credit expected: %1").arg(Money::fromUnits(credit).text());
    table.date = conv::dateText(context_.clock->today());
    table.captions = {QStringLiteral("ISBN"), QStringLiteral("Title"), QStringLiteral("Copies"),
                      QStringLiteral("Cost"), QStringLiteral("Delivery")};
    table.widths = {130, 320, 60, 70, 70};
    table.alignedRight = {false, false, true, true, true};
    table.rows = static_cast<int>(cells.size());
    table.cell = [cells](int row, int column) {
        return cells[static_cast<std::size_t>(row)][column];
    };
    return gridprinter::print(device, table);
}

void ReturnsScreen::recordCredit() {
    const std::optional<Money> amount = Money::parse(creditAmount_->text().trimmed());
    if (!amount) {
        context_.messages->inform(
            QStringLiteral("The amount \"%1\" is not a number.").arg(creditAmount_->text()));
        creditAmount_->setFocus();
        return;
    }
    if (policy::reportOnError(*context_.messages, [&] {
            shop::recordCreditNote(*session_, suppliers_->currentText(), creditNumber_->text(),
                                   context_.clock->today(), *amount);
        })) {
        creditNumber_->clear();
        creditAmount_->clear();
        showCredit();
    }
}
