// frmBill: the bill printing screen.
#include "billprintscreen.h"

#include "billlisting.h"
#include "billreport.h"
#include "clock.h"
#include "datacombo.h"
#include "datagrid.h"
#include "datepicker.h"
#include "errorpolicy.h"
#include "recordsource.h"
#include "screenheading.h"
#include "screenids.h"
#include "shopoperations.h"
#include "shopsession.h"
#include "shoptables.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

BillPrintScreen::BillPrintScreen(const ShopContext &context, QWidget *parent)
    : QWidget(parent), context_(context) {
    setObjectName(screenid::BillPrint);
    setWindowTitle(QStringLiteral("print Bill"));

    session_ = ShopSession::open(context_.databasePath);
    bills_ = new RecordSource(QStringLiteral("Adodc1"), session_, this);
    suppliers_ = new RecordSource(QStringLiteral("Adodc2"), session_, this);
    tempPay_ = new RecordSource(QStringLiteral("Adodc3"), session_, this);
    tempPay_->open(selectAll(tables::tempPay::table));
    // Emptied before the bills are read: a write on the shared connection reads every open
    // result to its end first, and the open bills can be many.
    clearTempPay();
    bills_->open(selectAll(tables::Bill::table));
    suppliers_->open(selectAll(tables::retail::table));

    buildControls();
}

void BillPrintScreen::buildControls() {
    auto *title = screenHeading(QStringLiteral("Label3"), QStringLiteral("= Print Bill  ="), this);
    filter_ = billlisting::makeFilter(suppliers_, billlisting::Order::PeriodFirst,
                                      context_.clock->today(), this);
    auto *fromLabel =
        billlisting::caption(QStringLiteral("Label1"), QStringLiteral("&from"), filter_.from, this);
    auto *toLabel =
        billlisting::caption(QStringLiteral("Label2"), QStringLiteral("&to"), filter_.to, this);
    auto *supplierLabel = billlisting::caption(
        QStringLiteral("Label4"), QStringLiteral("Select &Retail"), filter_.supplier, this);

    queryButton_ = named<QPushButton>("Command1", QStringLiteral("Query List"), this);
    previewButton_ = named<QPushButton>("Command2", QStringLiteral("Print Preview"), this);
    connect(queryButton_, &QPushButton::clicked, this, &BillPrintScreen::queryList);
    connect(previewButton_, &QPushButton::clicked, this, &BillPrintScreen::printPreview);

    grid_ =
        billlisting::billGrid(bills_, gridColumns(tables::Bill::columns), context_.messages, this);

    QGridLayout *filters = billlisting::layOutFilter(filter_, supplierLabel, fromLabel, toLabel);
    filters->setColumnStretch(4, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(queryButton_);
    buttons->addWidget(previewButton_);
    buttons->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(filters);
    layout->addLayout(buttons);
    layout->addWidget(grid_, 1);

    setTabOrder(filter_.from, filter_.to);
    setTabOrder(filter_.to, filter_.supplier);
    setTabOrder(filter_.supplier, queryButton_);
    setTabOrder(queryButton_, previewButton_);
    setTabOrder(previewButton_, grid_->view());
}

void BillPrintScreen::clearTempPay() {
    policy::skipOnError([this] { shop::clearBillListing(*session_); });
}

void BillPrintScreen::queryList() {
    using namespace tables;
    const bool listed = policy::skipOnError([this] {
        bills_->open(filter_.listingText(Bill::table, Bill::InvoiceDate, Bill::Retail));
    });
    // The copy replaces what tempPay held. A listing or a copy that failed leaves it empty:
    // the report must never print an earlier listing under this one's name.
    const bool copied = listed && policy::skipOnError([this] {
                            QList<qint64> rowids;
                            for (int row = 0; row < bills_->recordCount(); ++row)
                                rowids << bills_->rowid(row);
                            shop::copyBillListing(*session_, rowids, filter_.supplier->text());
                        });
    if (!copied)
        clearTempPay();
}

void BillPrintScreen::printPreview() {
    policy::reportOnError(*context_.messages, [this] {
        const ReportRecords records = billreport::readData(session_);
        preview_ = billreport::openPreview(records, window());
    });
}

QPrintPreviewDialog *BillPrintScreen::preview() const {
    return preview_;
}

// Room for every column of a bill and a dozen lines.
QSize BillPrintScreen::sizeHint() const {
    return QWidget::sizeHint().expandedTo(QSize(600, 440));
}
