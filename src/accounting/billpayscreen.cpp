// frmCheckPay: the bill payment screen.
#include "billpayscreen.h"

#include "clock.h"
#include "datacombo.h"
#include "datepicker.h"
#include "errorpolicy.h"
#include "invoicechecks.h"
#include "messageboxes.h"
#include "recordsource.h"
#include "screenheading.h"
#include "screenids.h"
#include "shopoperations.h"
#include "shopsession.h"
#include "shoptables.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

const char *const noBillToPay =
    "No bill is selected to pay. Select a bill in the grid, or list the bills first.";
const char *const billAlreadyGone =
    "This bill is no longer among the open bills: it has been paid or removed from another "
    "window. Nothing has been paid; the list shows the open bills again.";

// A text box that only names the control beside it.
QLineEdit *captionBox(const char *name, const QString &text, QWidget *parent) {
    auto *box = named<QLineEdit>(name, text, parent);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(text) + 16);
    return box;
}

} // namespace

BillPayScreen::BillPayScreen(const ShopContext &context, QWidget *parent)
    : BillListScreen(context, screenid::BillPay, QStringLiteral("Paying Bill"), QSize(600, 440),
                     parent) {
    openLists(selectAll(tables::Bill::table));
    session_->requireTable(tables::paidbill::table, tables::paidbill::columns);
    buildControls();
}

// Tab follows the order in which the controls are made.
void BillPayScreen::buildControls() {
    auto *frame = named<QGroupBox>("Frame1", QStringLiteral("Paying Bill      "), this);

    // The captions are boxes, not labels: the controls carry their names themselves.
    makeFilter(Order::SupplierFirst, frame);
    supplier_->setAccessibleName(QStringLiteral("Retail"));
    from_->setAccessibleName(QStringLiteral("from"));
    to_->setAccessibleName(QStringLiteral("to"));
    QLineEdit *supplierCaption = captionBox("Text1", QStringLiteral("Retail="), frame);
    QLineEdit *fromCaption = captionBox("Text2", QStringLiteral("from"), frame);
    QLineEdit *toCaption = captionBox("Text3", QStringLiteral("to"), frame);

    auto *queryButton =
        stepButton("Command1", QStringLiteral("Query List"), this, &BillPayScreen::queryList);
    auto *payButton =
        stepButton("Command2", QStringLiteral("Pay Confirm"), this, &BillPayScreen::payConfirm);
    layOutOpenBills(frame, supplierCaption, fromCaption, toCaption, queryButton, payButton);
    auto *outer = new QVBoxLayout(this);
    outer->addWidget(frame);
}

void BillPayScreen::queryList() {
    using namespace tables;
    credit_->clear();
    const bool listed = policy::skipOnError(
        [this] { bills_->open(listingText(Bill::table, Bill::InvoiceDate, Bill::Retail)); });
    policy::skipOnError([this] { bills_->moveFirst(); });
    if (listed)
        policy::skipOnError([this] { showCredit(billcredit::Bills::Open, tables::Bill::Fee); });
}

void BillPayScreen::payConfirm() {
    policy::reportOnError(*context_.messages, [this] {
        if (bills_->currentRow() < 0) {
            context_.messages->inform(QString::fromLatin1(noBillToPay));
            return;
        }
        // A held bill is refused before the operator is asked to pay it.
        if (const auto hold =
                shop::billHold(bills_->connection(), bills_->rowid(bills_->currentRow()))) {
            context_.messages->inform(shop::heldBillMessage(*hold));
            return;
        }
        if (!context_.messages->confirm(QStringLiteral("This record is to be deleted! ")))
            return;
        bills_->save(); // a change typed into the grid is stored before the bill moves
        if (!shop::payBill(*session_, bills_->rowid(bills_->currentRow()), context_.clock->today()))
            context_.messages->inform(QString::fromLatin1(billAlreadyGone));
    });
}
