// Period report: the sales between two days and their takings, listed on demand.
#include "monthreportscreen.h"

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

MonthReportScreen::MonthReportScreen(const ShopContext &context, QWidget *parent)
    : QWidget(parent), context_(context),
      sales_(new RecordSource(QStringLiteral("Adodc1"), context.databasePath, this)) {
    setObjectName(screenid::MonthReport);
    setWindowTitle(QStringLiteral("MonthSaleReport"));
    // Until the first "List" the grid shows every sale; the record set is compact and the
    // grid formats only what is on screen, so a large shop still opens quickly.
    sales_->open(selectAll(tables::soldbook::table));
    buildControls();
    const QDate today = context_.clock->today();
    firstPicker_->setDay(today);
    lastPicker_->setDay(today);
}

void MonthReportScreen::buildControls() {
    auto *heading = screenHeading(QStringLiteral("Label2"),
                                  QStringLiteral("Sale report-- Month report"), this, 1.4);
    auto *fromLabel = named<QLabel>("Label1", QStringLiteral("From"), this);
    firstPicker_ = new DatePicker(QStringLiteral("DTPicker1"), this, QStringLiteral("From"));
    fromLabel->setBuddy(firstPicker_);
    auto *toLabel = named<QLabel>("Label3", QStringLiteral("To "), this);
    lastPicker_ = new DatePicker(QStringLiteral("DTPicker2"), this, QStringLiteral("To"));
    toLabel->setBuddy(lastPicker_);
    auto *listButton = named<QPushButton>("Command1", QStringLiteral("List"), this);
    listButton->setDefault(true);
    connect(listButton, &QPushButton::clicked, this, &MonthReportScreen::list);

    grid_ = reportlayout::salesGrid(sales_, this);
    grid_->setCaption(QStringLiteral("Month report"));

    auto *totalCaption = named<QLabel>("Label5", QStringLiteral("Total sum="), this);
    totalLabel_ =
        reportlayout::totalBox(QStringLiteral("Label4"), QStringLiteral("Total sum"), this);

    auto *totalButton = reportlayout::hiddenTotalButton(QStringLiteral("Command2"), this);
    connect(totalButton, &QPushButton::clicked, this, &MonthReportScreen::total);
    auto *chartButton =
        ChartWindow::button(this, sales_, QStringLiteral("The takings per day as a column chart"),
                            [this] { return saleschart::takingsByDay(*sales_, grid_->caption()); });

    auto *pickRow = new QHBoxLayout;
    pickRow->addWidget(fromLabel);
    pickRow->addWidget(firstPicker_);
    pickRow->addSpacing(12);
    pickRow->addWidget(toLabel);
    pickRow->addWidget(lastPicker_);
    pickRow->addSpacing(12);
    pickRow->addWidget(listButton);
    pickRow->addWidget(chartButton);
    pickRow->addStretch();
    reportlayout::stack(this, heading, pickRow, grid_, totalCaption, totalLabel_);
    setTabOrder(firstPicker_, lastPicker_);
    setTabOrder(lastPicker_, listButton);
    setTabOrder(listButton, grid_->view());
}

void MonthReportScreen::list() {
    const QDate first = firstPicker_->day();
    const QDate last = lastPicker_->day();
    policy::skipOnError([&] {
        grid_->setCaption(QLatin1Char(' ') + conv::dateText(first) + QStringLiteral(" To ") +
                          conv::dateText(last) + QStringLiteral("  Sale Report"));
    });
    using tables::soldbook::SoldDate;
    const bool listed = policy::skipOnError([&] {
        sales_->open(selectAll(
            tables::soldbook::table,
            QStringLiteral(" where %1 >=%2  and  %1 <=%3")
                    .arg(SoldDate.sql(), dialect::dateLiteral(first), dialect::dateLiteral(last)) +
                orderBy(SoldDate)));
    });
    if (listed)
        total();
    else
        totalLabel_->clear(); // the grid still shows another period: no total for it
}

void MonthReportScreen::total() {
    // Emptied first: if the sum cannot be made, no figure of another period stays on screen.
    totalLabel_->clear();
    // SQLite totals the period on the indexed sale date: the grid holds only the screenful
    // it shows, however many sales a year has.
    policy::skipOnError([&] {
        totalLabel_->setText(conv::numberText(salestotal::takings(
            sales_->readingConnection(), firstPicker_->day(), lastPicker_->day())));
    });
}

QSize MonthReportScreen::sizeHint() const {
    // Opens at a size that shows every column of the grid.
    return QWidget::sizeHint().expandedTo(QSize(680, 480));
}
