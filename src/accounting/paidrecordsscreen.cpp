// frmPayRec: the paid-bill records screen.
#include "paidrecordsscreen.h"

#include "datacombo.h"
#include "datagrid.h"
#include "datepicker.h"
#include "errorpolicy.h"
#include "recordsource.h"
#include "screenheading.h"
#include "screenids.h"
#include "shoptables.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

PaidRecordsScreen::PaidRecordsScreen(const ShopContext &context, QWidget *parent)
    : BillListScreen(context, screenid::PaidRecords, QStringLiteral("rec of payed bill"),
                     QSize(680, 460), parent) {
    openLists(selectAll(tables::paidbill::table, orderBy(tables::paidbill::Retail)));
    buildControls();
}

// Tab follows the order in which the controls are made.
void PaidRecordsScreen::buildControls() {
    auto *title =
        screenHeading(QStringLiteral("Label4"), QStringLiteral("Records of Paid bill"), this);
    makeFilter(Order::SupplierFirst, this);
    QLabel *supplierLabel = caption("Label3", QStringLiteral("&Retail ="), supplier_);
    QLabel *fromLabel = caption("Label1", QStringLiteral("&from"), from_);
    QLabel *toLabel = caption("Label2", QStringLiteral("&to"), to_);
    using Screen = PaidRecordsScreen;
    auto *listButton = stepButton("Command1", QStringLiteral("list"), this, &Screen::list);

    makeGrid(gridColumns(tables::paidbill::columns), this);

    auto *buttonBar = named<QWidget>("picButtons", this);
    QHBoxLayout *buttons = buttonRow(
        {stepButton("cmdDelete", QStringLiteral("Delete"), this, &Screen::deleteRecord),
         stepButton("cmdRefresh", QStringLiteral("Refresh"), this, &Screen::refresh),
         stepButton("cmdClose", QStringLiteral("Close"), this, &Screen::closeScreen), rowStretch});
    buttons->setContentsMargins(0, 0, 0, 0);
    buttonBar->setLayout(buttons);

    QGridLayout *filters = layOutFilter(supplierLabel, fromLabel, toLabel);
    filters->addWidget(listButton, 1, 4);
    filters->setColumnStretch(5, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(filters);
    layout->addWidget(grid_, 1);
    layout->addWidget(makeCreditLine(this));
    layout->addWidget(buttonBar);
}

void PaidRecordsScreen::list() {
    using namespace tables;
    credit_->clear();
    policy::reportOnError(*context_.messages, [this] {
        bills_->open(listingText(paidbill::table, paidbill::InvoiceDate, paidbill::Retail));
        showCredit(billcredit::Bills::Paid, paidbill::Fee);
    });
}

// The credit line follows what the listing holds after a delete or a refresh.
void PaidRecordsScreen::deleteRecord() {
    policy::reportOnError(*context_.messages, [this] {
        bills_->deleteCurrent();
        showCredit(billcredit::Bills::Paid, tables::paidbill::Fee);
    });
}

void PaidRecordsScreen::refresh() {
    credit_->clear();
    policy::reportOnError(*context_.messages, [this] {
        bills_->requery();
        showCredit(billcredit::Bills::Paid, tables::paidbill::Fee);
    });
}
