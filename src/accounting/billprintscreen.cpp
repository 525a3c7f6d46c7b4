// frmBill: the bill printing screen.
#include "billprintscreen.h"

#include "billreport.h"
#include "clock.h"
#include "connection.h"
#include "datacombo.h"
#include "datagrid.h"
#include "datepicker.h"
#include "dialect.h"
#include "errorpolicy.h"
#include "recordsource.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

BillPrintScreen::BillPrintScreen(const ShopContext &context, QWidget *parent)
    : QWidget(parent), context_(context) {
    setObjectName(QStringLiteral("frmBill"));
    setWindowTitle(QStringLiteral("print Bill"));

    bills_ = new RecordSource(QStringLiteral("Adodc1"), context_.databasePath, this);
    suppliers_ = new RecordSource(QStringLiteral("Adodc2"), context_.databasePath, this);
    tempPay_ = new RecordSource(QStringLiteral("Adodc3"), context_.databasePath, this);
    bills_->open(QStringLiteral("select  * from Bill"));
    suppliers_->open(QStringLiteral("select * from Retail"));
    tempPay_->open(QStringLiteral("select * from tempPay"));

    buildControls();
    fromPicker_->setDay(context_.clock->today());
    toPicker_->setDay(context_.clock->today());
    clearTempPay();
}

void BillPrintScreen::buildControls() {
    auto *title = new QLabel(QStringLiteral("= Print Bill  ="), this);
    title->setObjectName(QStringLiteral("Label3"));
    title->setAlignment(Qt::AlignCenter);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    title->setFont(titleFont);

    auto *fromLabel = new QLabel(QStringLiteral("&from"), this);
    fromLabel->setObjectName(QStringLiteral("Label1"));
    fromPicker_ = new DatePicker(this);
    fromPicker_->setObjectName(QStringLiteral("DTPicker1"));
    fromLabel->setBuddy(fromPicker_);
    auto *toLabel = new QLabel(QStringLiteral("&to"), this);
    toLabel->setObjectName(QStringLiteral("Label2"));
    toPicker_ = new DatePicker(this);
    toPicker_->setObjectName(QStringLiteral("DTPicker2"));
    toLabel->setBuddy(toPicker_);

    auto *supplierLabel = new QLabel(QStringLiteral("Select &Retail"), this);
    supplierLabel->setObjectName(QStringLiteral("Label4"));
    supplierCombo_ = new DataCombo(suppliers_, QStringLiteral("RetName"), this);
    supplierCombo_->setObjectName(QStringLiteral("DataCombo1"));
    supplierCombo_->setMinimumContentsLength(24);
    supplierCombo_->setCurrentIndex(-1); // no supplier chosen until the operator picks one
    supplierLabel->setBuddy(supplierCombo_);

    queryButton_ = new QPushButton(QStringLiteral("Query List"), this);
    queryButton_->setObjectName(QStringLiteral("Command1"));
    previewButton_ = new QPushButton(QStringLiteral("Print Preview"), this);
    previewButton_->setObjectName(QStringLiteral("Command2"));
    connect(queryButton_, &QPushButton::clicked, this, &BillPrintScreen::queryList);
    connect(previewButton_, &QPushButton::clicked, this, &BillPrintScreen::printPreview);

    grid_ = new DataGrid(bills_,
                         {{QStringLiteral("Invoice No"), QStringLiteral("Invoice No")},
                          {QStringLiteral("Invoice Date"), QStringLiteral("Invoice Date")},
                          {QStringLiteral("Fee"), QStringLiteral("Fee")},
                          {QStringLiteral("Invoice Time"), QStringLiteral("Invoice Time")},
                          {QStringLiteral("Retail"), QStringLiteral("Retail")}},
                         this);
    grid_->setObjectName(QStringLiteral("DataGrid1"));
    connect(bills_, &RecordSource::dataError, this,
            [this](const QString &description) { context_.messages->inform(description); });

    auto *filters = new QGridLayout;
    filters->addWidget(fromLabel, 0, 0);
    filters->addWidget(fromPicker_, 0, 1);
    filters->addWidget(toLabel, 0, 2);
    filters->addWidget(toPicker_, 0, 3);
    filters->addWidget(supplierLabel, 1, 0);
    filters->addWidget(supplierCombo_, 1, 1, 1, 3);
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

    setTabOrder(fromPicker_, toPicker_);
    setTabOrder(toPicker_, supplierCombo_);
    setTabOrder(supplierCombo_, queryButton_);
    setTabOrder(queryButton_, previewButton_);
    setTabOrder(previewButton_, grid_->view());
}

QString BillPrintScreen::listingText() const {
    return QStringLiteral("select * from Bill where [Invoice Date]<=") +
           dialect::dateLiteral(toPicker_->day()) + QStringLiteral(" And [Invoice Date]>=") +
           dialect::dateLiteral(fromPicker_->day()) + QStringLiteral(" and Retail=") +
           dialect::quote(supplierCombo_->text());
}

void BillPrintScreen::clearTempPay() {
    policy::skipOnError(
        [this] { tempPay_->connection().exec(QStringLiteral("DELETE FROM tempPay")); });
    policy::skipOnError([this] { tempPay_->requery(); });
}

void BillPrintScreen::queryList() {
    clearTempPay();
    const bool listed = policy::skipOnError([this] {
        bills_->setRecordSourceText(listingText());
        bills_->requery();
    });
    policy::skipOnError([this] { grid_->rebind(); });
    // A listing that failed must not copy the rows of an earlier one under this name.
    if (listed)
        policy::skipOnError([this] { copyListingToTempPay(); });
    policy::skipOnError([this] { tempPay_->requery(); });
}

// All listed bills reach tempPay together or none does, so a report never prints half a
// listing.
void BillPrintScreen::copyListingToTempPay() {
    const QString supplier = supplierCombo_->text();
    Connection &connection = tempPay_->connection();
    Transaction transaction(connection);
    Statement insert =
        connection.prepare(QStringLiteral("INSERT INTO tempPay VALUES (?,?,?,?,?,?)"));
    for (int row = 0; row < bills_->recordCount(); ++row) {
        QVariantList values;
        for (int column = 0; column < 5; ++column)
            values << bills_->valueAt(row, column);
        values << supplier;
        insert.bindAll(values);
        insert.step();
        insert.reset();
    }
    transaction.commit();
}

void BillPrintScreen::printPreview() {
    policy::reportOnError(*context_.messages, [this] {
        const ReportRecords records = billreport::readData(context_.databasePath);
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
