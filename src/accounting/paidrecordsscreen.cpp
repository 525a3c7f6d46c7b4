// frmPayRec: the paid-bill records screen.
#include "paidrecordsscreen.h"

#include "billlisting.h"
#include "clock.h"
#include "datacombo.h"
#include "datagrid.h"
#include "datepicker.h"
#include "errorpolicy.h"
#include "recordsource.h"
#include "screenheading.h"
#include "screenids.h"
#include "screenopener.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

PaidRecordsScreen::PaidRecordsScreen(const ShopContext &context, QWidget *parent)
    : QWidget(parent), context_(context) {
    setObjectName(screenid::PaidRecords);
    setWindowTitle(QStringLiteral("rec of payed bill"));

    paidBills_ = new RecordSource(QStringLiteral("Adodc1"), context_.databasePath, this);
    suppliers_ = new RecordSource(QStringLiteral("Adodc2"), paidBills_->session(), this);
    paidBills_->open(selectAll(tables::paidbill::table, orderBy(tables::paidbill::Retail)));
    suppliers_->open(QLatin1String(tables::retail::table));

    buildControls();
}

void PaidRecordsScreen::buildControls() {
    auto *title =
        screenHeading(QStringLiteral("Label4"), QStringLiteral("Records of Paid bill"), this);
    filter_ = billlisting::makeFilter(suppliers_, billlisting::Order::SupplierFirst,
                                      context_.clock->today(), this);
    auto *supplierLabel = billlisting::caption(QStringLiteral("Label3"),
                                               QStringLiteral("&Retail ="), filter_.supplier, this);
    auto *fromLabel =
        billlisting::caption(QStringLiteral("Label1"), QStringLiteral("&from"), filter_.from, this);
    auto *toLabel =
        billlisting::caption(QStringLiteral("Label2"), QStringLiteral("&to"), filter_.to, this);
    listButton_ = named<QPushButton>("Command1", QStringLiteral("list"), this);
    connect(listButton_, &QPushButton::clicked, this, &PaidRecordsScreen::list);

    grid_ = billlisting::billGrid(paidBills_, gridColumns(tables::paidbill::columns),
                                  context_.messages, this);

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

    QGridLayout *filters = billlisting::layOutFilter(filter_, supplierLabel, fromLabel, toLabel);
    filters->addWidget(listButton_, 1, 4);
    filters->setColumnStretch(5, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(filters);
    layout->addWidget(grid_, 1);
    layout->addWidget(buttonBar);

    setTabOrder(filter_.supplier, filter_.from);
    setTabOrder(filter_.from, filter_.to);
    setTabOrder(filter_.to, listButton_);
    setTabOrder(listButton_, grid_->view());
    setTabOrder(grid_->view(), deleteButton);
    setTabOrder(deleteButton, refreshButton);
    setTabOrder(refreshButton, closeButton);
}

void PaidRecordsScreen::list() {
    using namespace tables;
    policy::reportOnError(*context_.messages, [this] {
        paidBills_->open(
            filter_.listingText(paidbill::table, paidbill::InvoiceDate, paidbill::Retail));
    });
}

void PaidRecordsScreen::deleteRecord() {
    policy::reportOnError(*context_.messages, [this] { paidBills_->deleteCurrent(); });
}

void PaidRecordsScreen::refresh() {
    policy::reportOnError(*context_.messages, [this] { paidBills_->requery(); });
}

void PaidRecordsScreen::closeScreen() {
    context_.opener->close(this);
}

// Room for every column of a paid bill and a dozen lines.
QSize PaidRecordsScreen::sizeHint() const {
    return QWidget::sizeHint().expandedTo(QSize(680, 460));
}
