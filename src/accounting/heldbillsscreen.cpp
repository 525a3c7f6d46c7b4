// The held bills and their approval.
#include "heldbillsscreen.h"

#include "clock.h"
#include "datagrid.h"
#include "errorpolicy.h"
#include "invoicechecks.h"
#include "messageboxes.h"
#include "recordsource.h"
#include "screenheading.h"
#include "screenids.h"
#include "shopsession.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

HeldBillsScreen::HeldBillsScreen(const ShopContext &context, QWidget *parent)
    : ShopScreen(context, screenid::HeldBills, QStringLiteral("Held Bills"), QSize(1000, 460),
                 parent),
      holds_(new RecordSource(QStringLiteral("Adodc1"), context.shop, this)) {
    QLabel *heading = titleHeading();
    DataGrid *grid = listGrid(holds_,
                              {{QStringLiteral("InvoiceNo"), QStringLiteral("Invoice No")},
                               {QStringLiteral("InvoiceDate"), QStringLiteral("Invoice Date")},
                               {QStringLiteral("Fee"), QStringLiteral("Fee")},
                               {QStringLiteral("Expected"), QStringLiteral("Cost delivered")},
                               {QStringLiteral("InvoiceTime"), QStringLiteral("Invoice Time")},
                               {QStringLiteral("Retail"), QStringLiteral("Retail")},
                               {QStringLiteral("HeldAt"), QStringLiteral("Held")},
                               {QStringLiteral("ApprovedAt"), QStringLiteral("Approved")},
                               {QStringLiteral("ApprovedBy"), QStringLiteral("Approved by")}},
                              QStringLiteral("Held bills"), this);
    grid->setCaption(QStringLiteral("A bill without an approval is not paid."));
    using Screen = HeldBillsScreen;
    // Made in the order they stand, which is the order Tab takes them in.
    auto *approve = stepButton("cmdApprove", QStringLiteral("A&pprove"), this, &Screen::approve);
    tolerance_ = named<QLineEdit>("txtTolerance", this);
    tolerance_->setMaximumWidth(120);
    QLabel *toleranceLabel = captionFor(QStringLiteral("&Tolerance:"), tolerance_, this);
    auto *saveTolerance =
        stepButton("cmdTolerance", QStringLiteral("Save To&lerance"), this, &Screen::saveTolerance);
    QHBoxLayout *buttons =
        buttonRow({approve, rowStretch, toleranceLabel, tolerance_, saveTolerance,
                   stepButton("cmdRefresh", QStringLiteral("&Refresh"), this, &Screen::refresh),
                   closeButton()});

    auto *page = new QVBoxLayout(this);
    page->addWidget(heading);
    page->addWidget(grid, 1);
    page->addLayout(buttons);
    setFocusProxy(grid->view());
    refresh();
}

void HeldBillsScreen::refresh() {
    policy::reportOnError(*context_.messages, [this] {
        holds_->open(QStringLiteral("select * from invoiceholds order by Hold desc"));
        tolerance_->setText(shop::invoiceTolerance(holds_->connection()).text());
    });
}

std::optional<qint64> HeldBillsScreen::chosenHold() const {
    if (!holds_->hasCurrentRow())
        return std::nullopt;
    return holds_->value(QStringLiteral("Hold")).toLongLong();
}

void HeldBillsScreen::approve() {
    const std::optional<qint64> hold = chosenHold();
    if (!hold) {
        context_.messages->inform(QStringLiteral("Choose a held bill first."));
        return;
    }
    const QString bill = holds_->text(QStringLiteral("InvoiceNo"));
    const QString supplier = holds_->text(QStringLiteral("Retail"));
    if (!context_.messages->confirm(
            QStringLiteral("Approve bill %1 of %2 for payment?").arg(bill, supplier)))
        return;
    policy::reportOnError(*context_.messages, [&] {
        const QDateTime now = context_.clock->now();
        if (!shop::approveHold(*holds_->session(), *hold, now))
            context_.messages->inform(
                QStringLiteral("Bill %1 of %2 was approved already.").arg(bill, supplier));
    });
    refresh();
}

void HeldBillsScreen::saveTolerance() {
    const std::optional<Money> amount = Money::parse(tolerance_->text().trimmed());
    if (!amount || *amount < Money()) {
        context_.messages->inform(
            QStringLiteral("The tolerance \"%1\" is not an amount of 0 or more: type it in "
                           "figures, for example 1 or 2.5.")
                .arg(tolerance_->text()));
        tolerance_->setFocus();
        return;
    }
    policy::reportOnError(*context_.messages,
                          [&] { shop::setInvoiceTolerance(*holds_->session(), *amount); });
}
