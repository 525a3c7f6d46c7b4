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
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
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
    auto *listButton = named<QPushButton>("Command1", QStringLiteral("list"), this);
    connect(listButton, &QPushButton::clicked, this, &PaidRecordsScreen::list);

    makeGrid(gridColumns(tables::paidbill::columns), this);

    auto *buttonBar = named<QWidget>("picButtons", this);
    auto *deleteButton = named<QPushButton>("cmdDelete", QStringLiteral("Delete"), buttonBar);
    auto *refreshButton = named<QPushButton>("cmdRefresh", QStringLiteral("Refresh"), buttonBar);
    auto *closeButton = named<QPushButton>("cmdClose", QStringLiteral("Close"), buttonBar);
    connect(deleteButton, &QPushButton::clicked, this, &PaidRecordsScreen::deleteRecord);
    connect(refreshButton, &QPushButton::clicked, this, &PaidRecordsScreen::refresh);
    connect(closeButton, &QPushButton::clicked, this, &PaidRecordsScreen::closeScreen);
    auto *buttons = new QHBoxLayout(buttonBar);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(deleteButton);
    buttons->addWidget(refreshButton);
    buttons->addWidget(closeButton);
    buttons->addStretch(1);

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
