// Day report: the chosen day's sales and takings, re-read on every change of the date.
#include "dayreportscreen.h"

#include "chartwindow.h"
#include "clock.h"
#include "conversions.h"
#include "datagrid.h"
#include "datepicker.h"
#include "dialect.h"
#include "errorpolicy.h"
#include "recordsource.h"
#include "reportlayout.h"
#include "salestotal.h"
#include "screenheading.h"
#include "screenids.h"
#include "shoptables.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

namespace {

QString salesOfDay(const QDate &day) {
    using namespace tables;
    return selectAll(soldbook::table, whereEqual(soldbook::SoldDate, dialect::dateLiteral(day)) +
                                          orderBy(soldbook::SoldTime));
}

} // namespace

DayReportScreen::DayReportScreen(const ShopContext &context, QWidget *parent)
    : QWidget(parent), context_(context),
      sales_(new RecordSource(QStringLiteral("Adodc1"), context.databasePath, this)) {
    setObjectName(screenid::DayReport);
    setWindowTitle(QStringLiteral("DaySaleReport"));
    // The screen opens on today's sales, so the first query is already the day's: the whole
    // sales table is never read just to be replaced. A missing table is reported here.
    dayPicker_ = new DatePicker(this);
    dayPicker_->setDay(context_.clock->today());
    sales_->open(salesOfDay(dayPicker_->day()));
    buildControls();
    showDay();
}

void DayReportScreen::buildControls() {
    auto *heading = screenHeading(QStringLiteral("Label2"),
                                  QStringLiteral("Sale report --Day report"), this, 1.4);
    auto *prompt = named<QLabel>("Label1", QStringLiteral("select the Date"), this);
    prompt->setBuddy(dayPicker_);
    dayPicker_->setObjectName(QStringLiteral("DTPicker1"));
    dayPicker_->setAccessibleName(prompt->text());

    grid_ = reportlayout::salesGrid(sales_, this);

    auto *totalCaption = named<QLabel>("Label3", QStringLiteral("Total sum"), this);
    totalLabel_ = reportlayout::totalBox(QStringLiteral("Label4"), totalCaption->text(), this);

    auto *totalButton = reportlayout::hiddenTotalButton(QStringLiteral("Command1"), this);
    connect(totalButton, &QPushButton::clicked, this, &DayReportScreen::total);
    auto *chartButton = ChartWindow::button(
        this, sales_, QStringLiteral("The takings per hour as a column chart"),
        [this] { return saleschart::takingsByHour(*sales_, grid_->caption()); });

    auto *pickRow = new QHBoxLayout;
    pickRow->addWidget(prompt);
    pickRow->addWidget(dayPicker_);
    pickRow->addStretch();
    pickRow->addWidget(chartButton);
    reportlayout::stack(this, heading, pickRow, grid_, totalCaption, totalLabel_);
    setTabOrder(dayPicker_, grid_->view());

    connect(dayPicker_, &DatePicker::changedByOperator, this, [this] { showDay(); });
}

void DayReportScreen::showDay() {
    const QDate day = dayPicker_->day();
    policy::skipOnError([&] {
        grid_->setCaption(QLatin1Char(' ') + conv::dateText(day) + QStringLiteral("  Sale Report"));
    });
    policy::skipOnError([&] { sales_->open(salesOfDay(day)); });
    total();
}

void DayReportScreen::total() {
    // Emptied first: if the sum cannot be made, no figure of another day stays on screen.
    totalLabel_->clear();
    policy::skipOnError([&] {
        const QDate day = dayPicker_->day();
        totalLabel_->setText(
            conv::numberText(salestotal::takings(sales_->readingConnection(), day, day)));
    });
}

QSize DayReportScreen::sizeHint() const {
    // Opens at a size that shows every column of the grid.
    return QWidget::sizeHint().expandedTo(QSize(640, 460));
}
