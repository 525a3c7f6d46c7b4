// frmBill: the bill printing screen.
#include "billprintscreen.h"

#include "billreport.h"
#include "datacombo.h"
#include "datepicker.h"
#include "errorpolicy.h"
#include "recordsource.h"
#include "screenheading.h"
#include "screenids.h"
#include "shopoperations.h"
#include "shopsession.h"
#include "shoptables.h"

#include <QLabel>
#include <QPrintPreviewDialog>
#include <QVBoxLayout>

BillPrintScreen::BillPrintScreen(const ShopContext &context, QWidget *parent)
    : BillListScreen(context, screenid::BillPrint, QStringLiteral("print Bill"), QSize(600, 440),
                     parent) {
    session_->requireTable(tables::tempPay::table, tables::tempPay::columns);
    // tempPay is emptied before the bills are read: a write on the shared connection reads
    // every open result to its end first, and the open bills can be many.
    policy::skipOnError([this] { shop::clearBillListing(*session_); });
    openLists(selectAll(tables::Bill::table));
    buildControls();
}

// Tab follows the order in which the controls are made.
void BillPrintScreen::buildControls() {
    auto *title = screenHeading(QStringLiteral("Label3"), QStringLiteral("= Print Bill  ="), this);
    makeFilter(Order::PeriodFirst, this);
    QLabel *fromLabel = caption("Label1", QStringLiteral("&from"), from_);
    QLabel *toLabel = caption("Label2", QStringLiteral("&to"), to_);
    QLabel *supplierLabel = caption("Label4", QStringLiteral("Select &Retail"), supplier_);

    using Screen = BillPrintScreen;
    auto *queryButton =
        stepButton("Command1", QStringLiteral("Query List"), this, &Screen::queryList);
    auto *previewButton =
        stepButton("Command2", QStringLiteral("Print Preview"), this, &Screen::printPreview);
    layOutOpenBills(this, supplierLabel, fromLabel, toLabel, queryButton, previewButton)
        ->insertWidget(0, title);
}

void BillPrintScreen::queryList() {
    using namespace tables;
    credit_->clear();
    const bool listed = policy::skipOnError(
        [this] { bills_->open(listingText(Bill::table, Bill::InvoiceDate, Bill::Retail)); });
    // The copy replaces what tempPay held. A listing or a copy that failed leaves it empty:
    // the report must never print an earlier listing under this one's name.
    const bool copied = listed && policy::skipOnError([this] {
                            QList<qint64> rowids;
                            for (int row = 0; row < bills_->recordCount(); ++row)
                                rowids << bills_->rowid(row);
                            shop::copyBillListing(*session_, rowids, supplier_->text());
                        });
    if (!copied)
        policy::skipOnError([this] { shop::clearBillListing(*session_); });
    else
        policy::skipOnError([this] { showCredit(billcredit::Bills::Open, Bill::Fee); });
}

void BillPrintScreen::printPreview() {
    policy::reportOnError(*context_.messages, [this] {
        preview_ = billreport::openPreview(billreport::readData(session_), window());
    });
}

QPrintPreviewDialog *BillPrintScreen::preview() const {
    return preview_;
}
