// Period report: the sales between two days and their takings, listed on demand.
#include "monthreportscreen.h"

#include "clock.h"
#include "conversions.h"
#include "datagrid.h"
#include "datepicker.h"
#include "screenheading.h"
#include "screenids.h"
#include "shoptables.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {

const SalesReportScreen::Description monthReport = {
    .screenId = screenid::MonthReport,
    .windowTitle = "MonthSaleReport",
    .heading = "Sale report-- Month report",
    .totalCaptionName = "Label5",
    .totalCaption = "Total sum=",
    .totalButtonName = "Command2",
    .chartTip = "The takings per day as a column chart",
    .chart = saleschart::takingsByDay,
    .openingSize = QSize(680, 480),
};

} // namespace

// Until the first "List" the grid shows every sale; the record set is compact and the grid
// formats only what is on screen, so a large shop still opens quickly.
MonthReportScreen::MonthReportScreen(const ShopContext &context, QWidget *parent)
    : SalesReportScreen(context, monthReport, selectAll(tables::soldbook::table), parent) {
    auto *fromLabel = named<QLabel>("Label1", QStringLiteral("From"), this);
    firstPicker_ = new DatePicker(QStringLiteral("DTPicker1"), this, QStringLiteral("From"));
    fromLabel->setBuddy(firstPicker_);
    auto *toLabel = named<QLabel>("Label3", QStringLiteral("To "), this);
    lastPicker_ = new DatePicker(QStringLiteral("DTPicker2"), this, QStringLiteral("To"));
    toLabel->setBuddy(lastPicker_);
    auto *listButton =
        stepButton("Command1", QStringLiteral("List"), this, &MonthReportScreen::list);
    listButton->setDefault(true);

    auto *pickRow = new QHBoxLayout;
    pickRow->addWidget(fromLabel);
    pickRow->addWidget(firstPicker_);
    pickRow->addSpacing(12);
    pickRow->addWidget(toLabel);
    pickRow->addWidget(lastPicker_);
    pickRow->addSpacing(12);
    pickRow->addWidget(listButton);
    pickRow->addWidget(chartButton());
    pickRow->addStretch();
    addGridAndTotal(pickRow, listButton);
    grid_->setCaption(QStringLiteral("Month report"));
    firstPicker_->setDay(context_.clock->today());
    lastPicker_->setDay(context_.clock->today());
}

void MonthReportScreen::list() {
    const QDate first = firstPicker_->day();
    const QDate last = lastPicker_->day();
    using tables::soldbook::SoldDate;
    listSales(conv::dateText(first) + QStringLiteral(" To ") + conv::dateText(last),
              selectAll(tables::soldbook::table,
                        QStringLiteral(" where %1 >=%2  and  %1 <=%3")
                                .arg(SoldDate.sql(), dateLiteral(first), dateLiteral(last)) +
                            orderBy(SoldDate)));
}
