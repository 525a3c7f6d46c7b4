// The supplier invoice screen: number, date, fee and supplier of an incoming invoice, written
// as one open bill that the accounting screens later print and pay.
#include "invoicescreen.h"

#include "clock.h"
#include "connection.h"
#include "conversions.h"
#include "datacombo.h"
#include "datagrid.h"
#include "datepicker.h"
#include "errorpolicy.h"
#include "invoicechecks.h"
#include "messageboxes.h"
#include "recordsource.h"
#include "screenheading.h"
#include "screenids.h"
#include "screenopener.h"
#include "shopoperations.h"
#include "shoptables.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

InvoiceScreen::InvoiceScreen(const ShopContext &context, QWidget *parent)
    : ShopScreen(context, screenid::Invoice, QStringLiteral("Invoice "), QSize(), parent) {
    bills_ = new RecordSource(QStringLiteral("Adodc1"), context_.shop, this);
    suppliers_ = new RecordSource(QStringLiteral("Adodc2"), bills_->session(), this);
    bills_->open(QLatin1String(tables::Bill::table));
    suppliers_->open(QLatin1String(tables::retail::table));
    // A shop that keeps deliveries checks the bills of the suppliers it orders from.
    checksBills_ = !bills_->connection().columnsOf(QStringLiteral("invoiceholds")).empty();
    buildControls();
    datePicker_->setDay(context_.clock->today());
    // A grid edit that cannot be stored is refused when the grid moves off its line.
    connect(bills_, &RecordSource::dataError, this,
            [this](const QString &description) { context_.messages->inform(description); });
}

void InvoiceScreen::buildControls() {
    QLabel *title =
        screenHeading(QStringLiteral("Label1"), QStringLiteral("Purchase Book--Invoice"), this);

    numberBox_ = named<QLineEdit>("txtFields_0", this);
    datePicker_ = new DatePicker(QStringLiteral("DTPicker1"), this);
    amountBox_ = named<QLineEdit>("txtFields_2", this);
    supplierList_ = named<DataCombo>("DataCombo1", suppliers_, tables::retail::RetName, this);
    supplierList_->setMinimumContentsLength(24);

    auto *inputs = new QGridLayout;
    const QList<QWidget *> boxes{numberBox_, datePicker_, amountBox_, supplierList_};
    // Accelerators keep clear of the main window's menu letters (F, P, S, D, A, H).
    const QStringList captions{QStringLiteral("&Invoice No"), QStringLiteral("Invoice Da&te"),
                               QStringLiteral("F&ee"), QStringLiteral("&Retail")};
    for (int i = 0; i < boxes.size(); ++i) {
        auto *label = new QLabel(captions[i], this);
        label->setObjectName(QStringLiteral("lblLabels_%1").arg(i));
        label->setBuddy(boxes[i]);
        boxes[i]->setAccessibleName(QString(captions[i]).remove(QLatin1Char('&')));
        inputs->addWidget(label, i, 0);
        inputs->addWidget(boxes[i], i, 1);
    }
    inputs->setColumnStretch(1, 1);
    received_ = named<QLabel>("lblReceived", this);
    received_->setWordWrap(true);
    inputs->addWidget(received_, static_cast<int>(boxes.size()), 0, 1, 2);
    connect(supplierList_, &DataCombo::textChangedByOperator, this, &InvoiceScreen::showReceived);

    auto *frame = named<QGroupBox>("Frame1", QStringLiteral("Function"), this);
    auto *okButton =
        stepButton("Command4", QStringLiteral("&OK"), this, &InvoiceScreen::recordInvoice);
    auto *createButton = stepButton("cmdCreate", QStringLiteral("&Create new Retail"), this,
                                    &InvoiceScreen::createRetail);
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(okButton);
    frameLayout->addWidget(createButton);
    frameLayout->addStretch();

    grid_ = new DataGrid(bills_, gridColumns(tables::Bill::columns), this);

    auto *top = new QHBoxLayout;
    top->addLayout(inputs, 1);
    top->addSpacing(12);
    top->addWidget(frame);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(top);
    layout->addWidget(grid_, 1);

    // Typing an invoice runs down the boxes and ends on OK.
    setTabOrder(numberBox_, datePicker_);
    setTabOrder(datePicker_, amountBox_);
    setTabOrder(amountBox_, supplierList_);
    setTabOrder(supplierList_, okButton);
    setTabOrder(okButton, createButton);
    setTabOrder(createButton, grid_->view());
    setFocusProxy(numberBox_); // a new window starts on the invoice number
}

QSize InvoiceScreen::sizeHint() const {
    const int gridWidth = grid_->widthForAllColumns();
    const QMargins margins = layout()->contentsMargins();
    return QWidget::sizeHint().expandedTo(
        QSize(qMin(gridWidth + margins.left() + margins.right(), 1000), 480));
}

void InvoiceScreen::recordInvoice() {
    if (numberBox_->text().isEmpty())
        return; // no number, no bill: everything typed stays where it is
    if (!amountIsUsable())
        return;
    if (!policy::reportOnError(*context_.messages, [this] { writeBill(); }))
        return;
    resetInputs();
}

bool InvoiceScreen::amountIsUsable() {
    const QString amount = amountBox_->text();
    if (amount.trimmed().isEmpty() || conv::parseMoney(amount))
        return true;
    context_.messages->inform(
        QStringLiteral("The fee \"%1\" is not a number. Type the amount in figures, for example "
                       "1250 or 37.5, or leave the box empty. Nothing has been recorded.")
            .arg(amount),
        MessageBoxes::Icon::Warning);
    amountBox_->setFocus();
    return false;
}

void InvoiceScreen::writeBill() {
    // Stored at once, so that closing the screen can never drop a bill the operator entered.
    bills_->save(); // what was typed into the grid first
    const shop::Invoice invoice{numberBox_->text(), datePicker_->day(), amountBox_->text(),
                                context_.clock->timeOfDay(), supplierList_->text()};
    if (!checksBills_) {
        bills_->moveToStored(shop::recordInvoice(*bills_->session(), invoice));
        return;
    }
    const CheckedInvoice checked = shop::recordCheckedInvoice(
        *bills_->session(), invoice, QDateTime(context_.clock->today(), invoice.time));
    bills_->moveToStored(checked.billRowid);
    QStringList told;
    if (checked.nothingReceived)
        told << QStringLiteral("Nothing received from %1 is waiting to be invoiced: bill %2 is "
                               "recorded all the same.")
                    .arg(invoice.supplier, invoice.number);
    if (checked.held)
        told << QStringLiteral("Bill %1 is held for the office's approval: its fee differs from "
                               "the cost of the copies received (%2) by more than the shop's "
                               "tolerance of %3. It cannot be paid until it is approved.")
                    .arg(invoice.number, checked.expected.text(),
                         shop::invoiceTolerance(bills_->connection()).text());
    if (!told.isEmpty())
        context_.messages->inform(told.join(QLatin1Char(' ')), MessageBoxes::Icon::Warning);
}

// What the chosen supplier delivered that no bill has covered yet, for the operator to check
// the bill against.
void InvoiceScreen::showReceived() {
    received_->clear();
    if (!checksBills_ || supplierList_->text().trimmed().isEmpty())
        return;
    policy::skipOnError([this] {
        const InvoiceCheck check = shop::invoiceCheck(bills_->connection(), supplierList_->text());
        received_->setText(
            check.lines.empty()
                ? QStringLiteral("Nothing received from %1 waits for a bill.")
                      .arg(supplierList_->text())
                : QStringLiteral("Received from %1, not yet invoiced: %2 copies in %3 lines, "
                                 "costing %4.")
                      .arg(supplierList_->text())
                      .arg(check.copies)
                      .arg(check.lines.size())
                      .arg(check.expected.text()));
    });
}

void InvoiceScreen::resetInputs() {
    numberBox_->clear();
    datePicker_->setDay(context_.clock->today());
    amountBox_->clear();
    supplierList_->clearText();
    received_->clear();
    numberBox_->setFocus();
}

void InvoiceScreen::createRetail() {
    policy::reportOnError(*context_.messages, [this] {
        // Only give way to the supplier screen once it is there to go to.
        if (context_.opener->openShared(screenid::DataRetail) != nullptr)
            closeScreen();
    });
}

void InvoiceScreen::closeEvent(QCloseEvent *event) {
    // A line changed in the grid is written before the window goes; if it cannot be stored,
    // the window stays open with the change so the operator can put it right.
    if (bills_->hasPending() &&
        !policy::reportOnError(*context_.messages, [this] { bills_->save(); })) {
        event->ignore();
        return;
    }
    event->accept();
}
