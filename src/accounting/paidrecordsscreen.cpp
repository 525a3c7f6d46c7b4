// frmPayRec: the paid-bill records screen.
#include "paidrecordsscreen.h"

#include "clock.h"
#include "datacombo.h"
#include "datagrid.h"
#include "datepicker.h"
#include "dialect.h"
#include "errorpolicy.h"
#include "recordsource.h"
#include "screenopener.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

PaidRecordsScreen::PaidRecordsScreen(const ShopContext &context, QWidget *parent)
    : QWidget(parent), context_(context) {
    setObjectName(QStringLiteral("frmPayRec"));
    setWindowTitle(QStringLiteral("rec of payed bill"));

    paidBills_ = new RecordSource(QStringLiteral("Adodc1"), context_.databasePath, this);
    suppliers_ = new RecordSource(QStringLiteral("Adodc2"), context_.databasePath, this);
    paidBills_->open(QStringLiteral("select * from PaidBill order by Retail"));
    suppliers_->open(QStringLiteral("Retail"));

    buildControls();
    toPicker_->setDay(context_.clock->today());
    fromPicker_->setDay(context_.clock->today());
}

void PaidRecordsScreen::buildControls() {
    auto *title = new QLabel(QStringLiteral("Records of Paid bill"), this);
    title->setObjectName(QStringLiteral("Label4"));
    title->setAlignment(Qt::AlignCenter);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    title->setFont(titleFont);

    auto *supplierLabel = new QLabel(QStringLiteral("&Retail ="), this);
    supplierLabel->setObjectName(QStringLiteral("Label3"));
    supplierCombo_ = new DataCombo(suppliers_, QStringLiteral("RetName"), this);
    supplierCombo_->setObjectName(QStringLiteral("DataCombo1"));
    supplierCombo_->setMinimumContentsLength(24);
    supplierCombo_->setCurrentIndex(-1); // no supplier chosen until the operator picks one
    supplierLabel->setBuddy(supplierCombo_);
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
    listButton_ = new QPushButton(QStringLiteral("list"), this);
    listButton_->setObjectName(QStringLiteral("Command1"));
    connect(listButton_, &QPushButton::clicked, this, &PaidRecordsScreen::list);

    grid_ = new DataGrid(paidBills_,
                         {{QStringLiteral("Invoice No"), QStringLiteral("Invoice No")},
                          {QStringLiteral("Invoice Date"), QStringLiteral("Invoice Date")},
                          {QStringLiteral("Fee"), QStringLiteral("Fee")},
                          {QStringLiteral("Time"), QStringLiteral("Time")},
                          {QStringLiteral("Retail"), QStringLiteral("Retail")},
                          {QStringLiteral("Paid date"), QStringLiteral("Paid date")}},
                         this);
    grid_->setObjectName(QStringLiteral("DataGrid1"));
    connect(paidBills_, &RecordSource::dataError, this,
            [this](const QString &description) { context_.messages->inform(description); });

    auto *buttonBar = new QWidget(this);
    buttonBar->setObjectName(QStringLiteral("picButtons"));
    auto *deleteButton = new QPushButton(QStringLiteral("Delete"), buttonBar);
    deleteButton->setObjectName(QStringLiteral("cmdDelete"));
    auto *refreshButton = new QPushButton(QStringLiteral("Refresh"), buttonBar);
    refreshButton->setObjectName(QStringLiteral("cmdRefresh"));
    auto *closeButton = new QPushButton(QStringLiteral("Close"), buttonBar);
    closeButton->setObjectName(QStringLiteral("cmdClose"));
    connect(deleteButton, &QPushButton::clicked, this, &PaidRecordsScreen::deleteRecord);
    connect(refreshButton, &QPushButton::clicked, this, &PaidRecordsScreen::refresh);
    connect(closeButton, &QPushButton::clicked, this, &PaidRecordsScreen::closeScreen);
    auto *buttons = new QHBoxLayout(buttonBar);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(deleteButton);
    buttons->addWidget(refreshButton);
    buttons->addWidget(closeButton);
    buttons->addStretch(1);

    auto *filters = new QGridLayout;
    filters->addWidget(supplierLabel, 0, 0);
    filters->addWidget(supplierCombo_, 0, 1, 1, 3);
    filters->addWidget(fromLabel, 1, 0);
    filters->addWidget(fromPicker_, 1, 1);
    filters->addWidget(toLabel, 1, 2);
    filters->addWidget(toPicker_, 1, 3);
    filters->addWidget(listButton_, 1, 4);
    filters->setColumnStretch(5, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addLayout(filters);
    layout->addWidget(grid_, 1);
    layout->addWidget(buttonBar);

    setTabOrder(supplierCombo_, fromPicker_);
    setTabOrder(fromPicker_, toPicker_);
    setTabOrder(toPicker_, listButton_);
    setTabOrder(listButton_, grid_->view());
    setTabOrder(grid_->view(), deleteButton);
    setTabOrder(deleteButton, refreshButton);
    setTabOrder(refreshButton, closeButton);
}

QString PaidRecordsScreen::listingText() const {
    return QStringLiteral("select * from paidbill where [invoice date]<=") +
           dialect::dateLiteral(toPicker_->day()) + QStringLiteral(" And [invoice date]>=") +
           dialect::dateLiteral(fromPicker_->day()) + QStringLiteral(" and retail=") +
           dialect::quote(supplierCombo_->text());
}

void PaidRecordsScreen::list() {
    policy::reportOnError(*context_.messages, [this] {
        paidBills_->setRecordSourceText(listingText());
        paidBills_->requery();
        grid_->rebind();
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
