// The session, filter, grid and listing query of the bill screens.
#include "billlistscreen.h"

#include "clock.h"
#include "datacombo.h"
#include "datagrid.h"
#include "datepicker.h"
#include "messageboxes.h"
#include "recordsource.h"
#include "screenheading.h"
#include "shopsession.h"
#include "shoptables.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

BillListScreen::BillListScreen(const ShopContext &context, const char *screenId,
                               const QString &windowTitle, QSize openingSize, QWidget *parent)
    : ShopScreen(context, screenId, windowTitle, openingSize, parent),
      session_(ShopSession::open(context.shop)),
      bills_(new RecordSource(QStringLiteral("Adodc1"), session_, this)),
      suppliers_(new RecordSource(QStringLiteral("Adodc2"), session_, this)) {}

void BillListScreen::openLists(const QString &listing) {
    bills_->open(listing);
    suppliers_->open(selectAll(tables::retail::table));
}

void BillListScreen::makeFilter(Order order, QWidget *parent) {
    order_ = order;
    auto makeSupplier = [&] {
        supplier_ = named<DataCombo>("DataCombo1", suppliers_, tables::retail::RetName, parent);
        supplier_->setMinimumContentsLength(24);
        supplier_->setCurrentIndex(-1); // none until the operator picks one
    };
    if (order == Order::SupplierFirst)
        makeSupplier();
    from_ = new DatePicker(QStringLiteral("DTPicker1"), parent);
    to_ = new DatePicker(QStringLiteral("DTPicker2"), parent);
    from_->setDay(context_.clock->today());
    to_->setDay(context_.clock->today());
    if (order == Order::PeriodFirst)
        makeSupplier();
}

QGridLayout *BillListScreen::layOutFilter(QWidget *supplierCaption, QWidget *fromCaption,
                                          QWidget *toCaption) const {
    const int periodLine = order_ == Order::PeriodFirst ? 0 : 1;
    const int supplierLine = 1 - periodLine;
    auto *grid = new QGridLayout;
    grid->addWidget(fromCaption, periodLine, 0);
    grid->addWidget(from_, periodLine, 1);
    grid->addWidget(toCaption, periodLine, 2);
    grid->addWidget(to_, periodLine, 3);
    grid->addWidget(supplierCaption, supplierLine, 0);
    grid->addWidget(supplier_, supplierLine, 1, 1, 3);
    return grid;
}

QLabel *BillListScreen::caption(const char *objectName, const QString &text, QWidget *buddy) {
    auto *label = named<QLabel>(objectName, text, this);
    label->setBuddy(buddy);
    return label;
}

void BillListScreen::makeGrid(const QList<GridColumn> &columns, QWidget *parent) {
    grid_ = named<DataGrid>("DataGrid1", bills_, columns, parent);
    connect(bills_, &RecordSource::dataError, grid_,
            [this](const QString &description) { context_.messages->inform(description); });
}

QVBoxLayout *BillListScreen::layOutOpenBills(QWidget *parent, QWidget *supplierCaption,
                                             QWidget *fromCaption, QWidget *toCaption,
                                             QWidget *query, QWidget *step) {
    makeGrid(gridColumns(tables::Bill::columns), parent);
    QGridLayout *filters = layOutFilter(supplierCaption, fromCaption, toCaption);
    filters->setColumnStretch(4, 1);
    auto *page = new QVBoxLayout(parent);
    page->addLayout(filters);
    page->addLayout(buttonRow({query, step, rowStretch}));
    page->addWidget(grid_, 1);
    page->addWidget(makeCreditLine(parent));
    return page;
}

QString BillListScreen::listingText(const char *table, const Column &date, const Column &supplier) {
    listedSupplier_ = supplier_->text();
    return selectAll(table, QStringLiteral(" where %1<=%2 And %1>=%3 and %4=%5")
                                .arg(date.sql(), dateLiteral(to_->day()), dateLiteral(from_->day()),
                                     supplier.sql(), textLiteral(supplier_->text())));
}

QLabel *BillListScreen::makeCreditLine(QWidget *parent) {
    credit_ = named<QLabel>("lblCredit", parent);
    credit_->setWordWrap(true);
    credit_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return credit_;
}

void BillListScreen::showCredit(billcredit::Bills bills, const Column &fee) {
    credit_->clear();
    if (listedSupplier_.trimmed().isEmpty())
        return; // a listing of every supplier, or of bills recorded without one
    const Money listed = billcredit::listedFees(*bills_, QLatin1String(fee.name));
    credit_->setText(
        billcredit::beside(bills_->connection(), listedSupplier_, listed, bills).join(' '));
}
