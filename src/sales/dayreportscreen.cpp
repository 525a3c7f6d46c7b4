// Day report: the chosen day's sales and takings, re-read on every change of the date.
#include "dayreportscreen.h"

#include "clock.h"
#include "conversions.h"
#include "datepicker.h"
#include "screenheading.h"
#include "screenids.h"
#include "shoptables.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {

QString salesOfDay(const QDate &day) {
    using namespace tables;
    return selectAll(soldbook::table, whereEqual(soldbook::SoldDate, dateLiteral(day)) +
                                          orderBy(soldbook::SoldTime));
}

const SalesReportScreen::Description dayReport = {
    .screenId = screenid::DayReport,
    .windowTitle = "DaySaleReport",
    .heading = "Sale report --Day report",
    .totalCaptionName = "Label3",
    .totalCaption = "Total sum",
    .totalButtonName = "Command1",
    .chartTip = "The takings per hour as a column chart",
    .chart = saleschart::takingsByHour,
    .openingSize = QSize(640, 460),
};

} // namespace

// The screen opens on today's sales, so the first query is already the day's: the whole
// sales table is never read just to be replaced.
DayReportScreen::DayReportScreen(const ShopContext &context, QWidget *parent)
    : SalesReportScreen(context, dayReport, salesOfDay(context.clock->today()), parent) {
    auto *prompt = named<QLabel>("Label1", QStringLiteral("select the Date"), this);
    firstPicker_ = lastPicker_ = new DatePicker(QStringLiteral("DTPicker1"), this, prompt->text());
    firstPicker_->setDay(context_.clock->today());
    prompt->setBuddy(firstPicker_);
    connect(firstPicker_, &DatePicker::changedByOperator, this, &DayReportScreen::showDay);

    addGridAndTotal(buttonRow({prompt, firstPicker_, rowStretch, chartButton()}), firstPicker_);
    showDay();
}

void DayReportScreen::showDay() {
    const QDate day = firstPicker_->day();
    listSales(conv::dateText(day), salesOfDay(day));
}
