// The top-sellers screen: the summary in tmp after List, the ranking, the period bounds.
#include "allscreens.h"
#include "conversions.h"
#include "dataerror.h"
#include "datepicker.h"
#include "gridcommands.h"
#include "gridprinter.h"
#include "reportgrid.h"
#include "screenregistry.h"
#include "toptenscreen.h"

#include <QPushButton>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {

struct Sale {
    const char *day;
    const char *isbn;
    int qty;
};

class TopTen : public ::testing::Test {
protected:
    void sell(const std::vector<Sale> &sales) {
        for (const Sale &s : sales)
            addSale(shop.db, s.day, "10:00:00", s.isbn, QStringLiteral("Title ") + s.isbn, "10",
                    QString::number(s.qty));
    }
    TopTenScreen &screen() {
        if (!screen_)
            screen_ = std::make_unique<TopTenScreen>(shop.context);
        return *screen_;
    }
    void period(const QDate &first, const QDate &last) {
        screen().findChild<DatePicker *>("DTPicker1")->setDate(first);
        screen().findChild<DatePicker *>("DTPicker2")->setDate(last);
    }
    void click(const char *button) { screen().findChild<QPushButton *>(button)->click(); }

    TestShop shop;
    std::unique_ptr<TopTenScreen> screen_;
};

const QDate may1(2001, 5, 1), may3(2001, 5, 3), may31(2001, 5, 31);

struct SummaryCase {
    const char *name;
    std::vector<Sale> sales;
    QDate first, last;
    QStringList listed; // after List
    QStringList ranked; // after Rank
};

class Summaries : public TopTen, public ::testing::WithParamInterface<SummaryCase> {};

TEST_P(Summaries, ListInIsbnOrderAndRankByCopies) {
    const SummaryCase &c = GetParam();
    sell(c.sales);
    period(c.first, c.last);
    click("command1");
    EXPECT_EQ(gridLines(screen()), c.listed);
    EXPECT_EQ(shop.db.rows("SELECT A, B, C FROM tmp ORDER BY rowid"), c.listed);
    click("Command2");
    EXPECT_EQ(gridLines(screen()), c.ranked);
}

INSTANTIATE_TEST_SUITE_P(
    TopTen, Summaries,
    ::testing::Values(
        SummaryCase{"OneTitleSoldThreeTimes",
                    {{"2001-05-02", "111", 2}, {"2001-05-03", "111", 1}, {"2001-05-03", "111", 4}},
                    may1,
                    may31,
                    {"111|Title 111|7"},
                    {"111|Title 111|7"}},
        SummaryCase{"InterleavedIsbns",
                    {{"2001-05-02", "X", 2}, {"2001-05-02", "Y", 5}, {"2001-05-03", "X", 1}},
                    may1,
                    may31,
                    {"X|Title X|3", "Y|Title Y|5"},
                    {"Y|Title Y|5", "X|Title X|3"}},
        SummaryCase{"TenAboveNine",
                    {{"2001-05-02", "A", 9}, {"2001-05-02", "B", 6}, {"2001-05-03", "B", 4}},
                    may1,
                    may31,
                    {"A|Title A|9", "B|Title B|10"},
                    {"B|Title B|10", "A|Title A|9"}},
        SummaryCase{"BoundsAreInclusive",
                    {{"2001-04-30", "A", 1},
                     {"2001-05-01", "A", 2},
                     {"2001-05-31", "B", 3},
                     {"2001-06-01", "B", 4}},
                    may1,
                    may31,
                    {"A|Title A|2", "B|Title B|3"},
                    {"B|Title B|3", "A|Title A|2"}},
        SummaryCase{"ReversedPeriodIsEmpty", {{"2001-05-03", "A", 1}}, may31, may1, {}, {}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(TopTen, EveryTitleSoldIsListedAndEqualTotalsStandTogether) {
    for (int i = 1; i <= 12; ++i)
        sell({{"2001-05-03", qPrintable(QStringLiteral("97%1").arg(i, 2, 10, QLatin1Char('0'))),
               i == 12 ? 5 : i}});
    click("command1");
    EXPECT_EQ(gridLines(screen()).size(), 12);
    click("Command2");
    const QStringList ranked = gridLines(screen());
    ASSERT_EQ(ranked.size(), 12);
    EXPECT_EQ(ranked.first(), "9711|Title 9711|11");
    EXPECT_EQ(ranked.last(), "9701|Title 9701|1");
    const int fives = static_cast<int>(ranked.indexOf("9705|Title 9705|5"));
    EXPECT_EQ(qAbs(fives - ranked.indexOf("9712|Title 9712|5")), 1);
}

TEST_F(TopTen, ListingTwiceGivesTheSameSummaryAndAListAfterRankIsInIsbnOrder) {
    sell({{"2001-05-03", "A", 1}, {"2001-05-03", "B", 2}});
    click("command1");
    const QStringList first = gridLines(screen());
    click("Command2");
    EXPECT_EQ(gridLines(screen()), QStringList({"B|Title B|2", "A|Title A|1"}));
    click("command1");
    EXPECT_EQ(gridLines(screen()), first);
    EXPECT_EQ(shop.db.count("tmp"), 2);
}

TEST_F(TopTen, ClosingEmptiesTmpAndReopeningShowsNothing) {
    sell({{"2001-05-03", "A", 1}});
    click("command1");
    EXPECT_EQ(shop.db.count("tmp"), 1);
    screen().close();
    EXPECT_EQ(shop.db.count("tmp"), 0);
    TopTenScreen again(shop.context);
    EXPECT_TRUE(gridLines(again).isEmpty());
}

TEST_F(TopTen, OpensOnTodayWithItsColumnsAndTakesNoEdits) {
    sell({{"2001-05-03", "A", 1}});
    EXPECT_EQ(screen().findChild<DatePicker *>("DTPicker1")->day(), may3);
    EXPECT_EQ(screen().findChild<DatePicker *>("DTPicker2")->day(), may3);
    EXPECT_EQ(screen().windowTitle(), "Top 10");
    EXPECT_EQ(gridHeadings(screen()), QStringList({"ISBN", "Title", "Total Quantity"}));
    click("command1");
    EXPECT_TRUE(gridIsReadOnly(screen()));
}

TEST_F(TopTen, SaleRowsLackingAQuantityCountNone) {
    sell({{"2001-05-03", "A", 2}});
    shop.db.exec("INSERT INTO soldbook VALUES ('2001-05-03','11:00:00','A','Title A',10,NULL)");
    shop.db.exec("INSERT INTO soldbook VALUES ('2001-05-03','11:00:00','B','Title B',10,NULL)");
    click("command1");
    EXPECT_EQ(gridLines(screen()), QStringList({"A|Title A|2", "B|Title B|0"}));
}

// The summary equals what a walk over the period's sale rows, in the order they were
// written, gives: one entry per ISBN with the title of its first row and the sum of copies.
TEST_F(TopTen, SummaryEqualsARowByRowWalkOverTheSales) {
    QRandomGenerator random(20010503);
    for (int i = 0; i < 600; ++i) {
        const QDate day = QDate(2001, 4, 20).addDays(random.bounded(45));
        const QString isbn = QStringLiteral("978-%1").arg(random.bounded(40));
        addSale(shop.db, conv::isoDate(day), "12:00:00", isbn,
                QStringLiteral("%1 edition %2").arg(isbn).arg(random.bounded(3)), "9.5",
                QString::number(1 + random.bounded(20)));
    }
    period(may1, may31);
    click("command1");

    std::map<QString, std::pair<QString, int>> walk;
    for (const QString &row :
         shop.db.rows("SELECT ISBN, Title, Qty FROM soldbook WHERE SoldDate BETWEEN "
                      "'2001-05-01' AND '2001-05-31' ORDER BY rowid")) {
        const QStringList cells = row.split('|');
        auto [entry, added] = walk.try_emplace(cells[0], cells[1], 0);
        entry->second.second += cells[2].toInt();
    }
    QStringList expected;
    for (const auto &[isbn, summary] : walk)
        expected << isbn + '|' + summary.first + '|' + QString::number(summary.second);
    EXPECT_EQ(shop.db.rows("SELECT A, B, C FROM tmp ORDER BY rowid"), expected);
}

TEST(SalesScreens, ReportScreensAreRegistered) {
    TestShop shop;
    ScreenRegistry registry;
    registerAllScreens(registry);
    const std::pair<const char *, const char *> screens[] = {{"A1A2", "Top 10"},
                                                             {"frmDayReport", "DaySaleReport"},
                                                             {"frmMonthRpt", "MonthSaleReport"},
                                                             {"frmBookQuery", "BookQuery"}};
    for (const auto &[id, caption] : screens) {
        std::unique_ptr<QWidget> screen(registry.create(id, shop.context));
        ASSERT_NE(screen, nullptr) << id;
        EXPECT_EQ(screen->objectName(), id);
        EXPECT_EQ(screen->windowTitle(), caption);
    }
}

TEST(SalesScreens, AShopFileWithoutTheSalesTableIsReportedWhenAReportOpens) {
    TestShop shop;
    shop.db.exec("DROP TABLE soldbook");
    EXPECT_THROW(TopTenScreen screen(shop.context), DataError);
}

} // namespace

// A list printed from a period names that period at the head of every page: the page head
// carries the grid's caption, which each report sets to the period it lists.
TEST(PrintedLists, NameTheirPeriod) {
    ScreenRegistry registry;
    registerAllScreens(registry);
    struct Case {
        const char *screen;
        const char *listButton; // null: the day report lists on a change of date
        QString period;
    };
    const Case cases[] = {{"A1A2", "command1", "2001/5/1 To 2001/5/31"},
                          {"frmMonthRpt", "Command1", "2001/5/1 To 2001/5/31"},
                          {"frmDayReport", nullptr, "2001/5/31"}};
    for (const Case &c : cases) {
        TestShop shop;
        addSale(shop.db, "2001-05-02", "10:00:00", "111", "One", "10", "3");
        std::unique_ptr<QWidget> screen(registry.create(c.screen, shop.context));
        screen->findChild<DatePicker *>("DTPicker1")->setDate(c.listButton ? may1 : may31);
        if (auto *last = screen->findChild<DatePicker *>("DTPicker2"))
            last->setDate(may31);
        if (c.listButton != nullptr)
            screen->findChild<QPushButton *>(c.listButton)->click();
        auto *grid = screen->findChild<DataGrid *>("DataGrid1");
        const PrintedTable table =
            grid->findChild<GridCommands *>(QStringLiteral("gridCommands"))->printedTable();
        EXPECT_TRUE(table.subtitle.contains(c.period))
            << c.screen << ": " << table.subtitle.toStdString();
    }
}
