// Top sellers: the period's copies per ISBN, grouped by SQLite, kept in tmp and shown.
#include "toptenscreen.h"

#include "chartwindow.h"
#include "clock.h"
#include "conversions.h"
#include "datagrid.h"
#include "datepicker.h"
#include "errorpolicy.h"
#include "recordsource.h"
#include "screenheading.h"
#include "screenids.h"
#include "shopoperations.h"
#include "shopsession.h"
#include "shoptables.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString summaryQuery = selectAll(tables::tmp::table);
const QString rankingQuery = selectAll(
    tables::tmp::table, QStringLiteral(" order by val(%1) DESC").arg(tables::tmp::C.sql()));

} // namespace

// Opens at a size that shows every column of the grid.
TopTenScreen::TopTenScreen(const ShopContext &context, QWidget *parent)
    : ShopScreen(context, screenid::TopTen, QStringLiteral("Top 10"), QSize(600, 460), parent),
      session_(ShopSession::open(context.shop)),
      summary_(new RecordSource(QStringLiteral("Adodc2"), session_, this)) {
    summary_->open(summaryQuery);
    // The sales are grouped by SQLite, so no record source holds them; a shop file without
    // their table is reported when the window opens.
    session_->requireTable(tables::soldbook::table, tables::soldbook::columns);
    buildControls();
    const QDate today = context_.clock->today();
    firstPicker_->setDay(today);
    lastPicker_->setDay(today);
}

void TopTenScreen::buildControls() {
    QLabel *heading =
        screenHeading(QStringLiteral("Label1"), QStringLiteral("Top 10    "), this, 1.4, false);
    firstPicker_ = new DatePicker(QStringLiteral("DTPicker1"), this, QStringLiteral("From"));
    auto *toLabel = named<QLabel>("Label2", QStringLiteral("To"), this);
    lastPicker_ = new DatePicker(QStringLiteral("DTPicker2"), this, QStringLiteral("To"));
    toLabel->setBuddy(lastPicker_);
    heading->setBuddy(firstPicker_);
    auto *listButton = stepButton("command1", QStringLiteral("List"), this, &TopTenScreen::list);
    listButton->setDefault(true);
    auto *rankButton = stepButton("Command2", QStringLiteral("Rank"), this, &TopTenScreen::rank);
    auto *chartButton =
        ChartWindow::button(this, summary_, QStringLiteral("The ten best sellers as a bar chart"),
                            [this] { return saleschart::topSellers(*summary_, listedPeriod_); });

    grid_ = new DataGrid(summary_,
                         {{tables::tmp::A, QStringLiteral("ISBN")},
                          {tables::tmp::B, QStringLiteral("Title")},
                          {tables::tmp::C, QStringLiteral("Total Quantity"), ColumnKind::Whole}},
                         this);
    // Only List writes tmp; the summary is not for editing.
    grid_->setReadOnly(true);
    grid_->view()->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);

    auto *pickRow = new QHBoxLayout;
    pickRow->addWidget(heading);
    pickRow->addWidget(firstPicker_);
    pickRow->addWidget(toLabel);
    pickRow->addWidget(lastPicker_);
    pickRow->addSpacing(12);
    pickRow->addWidget(listButton);
    pickRow->addWidget(rankButton);
    pickRow->addWidget(chartButton);
    pickRow->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(pickRow);
    layout->addWidget(grid_, 1);
}

void TopTenScreen::list() {
    clearTmp();
    listedPeriod_ = conv::dateText(firstPicker_->day()) + QStringLiteral(" To ") +
                    conv::dateText(lastPicker_->day());
    // The list names its period, on the screen and at the head of every printed page.
    grid_->setCaption(QStringLiteral("Sold ") + listedPeriod_);
    policy::skipOnError(
        [&] { shop::buildTopSellers(*session_, firstPicker_->day(), lastPicker_->day()); });
    // A new listing is shown in ISBN order even after a Rank: that is the order List builds,
    // and the operator ranks it again with Rank.
    policy::skipOnError([&] { summary_->open(summaryQuery); });
}

void TopTenScreen::rank() {
    policy::skipOnError([&] { summary_->save(); });
    policy::skipOnError([&] { summary_->open(rankingQuery); });
}

void TopTenScreen::clearTmp() {
    policy::skipOnError([&] { summary_->save(); });
    policy::skipOnError([&] { shop::clearTopSellers(*session_); });
}

void TopTenScreen::closeEvent(QCloseEvent *event) {
    clearTmp();
    QWidget::closeEvent(event);
}
