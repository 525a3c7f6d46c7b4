// The day report: the chosen day's sales in time order, the caption and the day's takings.
#include "conversions.h"
#include "datepicker.h"
#include "dayreportscreen.h"
#include "reportgrid.h"

#include <gtest/gtest.h>

namespace {

// Known sales around 2001/5/3 (today in the test shop), written out of time order.
class DayReport : public ReportTest<DayReportScreen> {
protected:
    void SetUp() override {
        addSale(shop.db, "2001-05-02", "18:00:00", "A", "Alpha", "10", "1");
        addSale(shop.db, "2001-05-03", "15:20:00", "B", "Beta", "12.5", "2");
        addSale(shop.db, "2001-05-03", "09:05:00", "A", "Alpha", "10", "3");
        addSale(shop.db, "2001-05-03", "11:45:00", "C", "Gamma", "0.1", "3");
        addSale(shop.db, "2001-05-04", "08:00:00", "C", "Gamma", "250", "3");
        open();
    }
    void pick(const QDate &day) { screen->findChild<DatePicker *>("DTPicker1")->setDate(day); }
    QStringList times() const { return gridColumn(*screen, 1); }
};

TEST_F(DayReport, OpensOnTodaysSalesInTimeOrder) {
    EXPECT_EQ(screen->windowTitle(), "DaySaleReport");
    EXPECT_EQ(gridCaption(*screen), " 2001/5/3  Sale Report");
    EXPECT_EQ(gridLines(*screen),
              QStringList({"2001/5/3|09:05:00|A|Alpha|10|3", "2001/5/3|11:45:00|C|Gamma|0.1|3",
                           "2001/5/3|15:20:00|B|Beta|12.5|2"}));
    EXPECT_EQ(total(), "55.3");
    EXPECT_EQ(gridHeadings(*screen),
              QStringList({"SoldDate", "SoldTime", "ISBN", "Title", "Price", "Qty"}));
    EXPECT_TRUE(gridIsReadOnly(*screen));
}

struct DayCase {
    QDate day;
    QString caption;
    QStringList times;
    QString total;
};

class Days : public DayReport, public ::testing::WithParamInterface<DayCase> {};

TEST_P(Days, EachChangeOfDateListsAndTotalsThatDayOnly) {
    const DayCase &c = GetParam();
    pick(QDate(2000, 1, 1)); // from another day first, so the change is a real one
    pick(c.day);
    EXPECT_EQ(gridCaption(*screen), c.caption);
    EXPECT_EQ(times(), c.times);
    EXPECT_EQ(total(), c.total);
}

INSTANTIATE_TEST_SUITE_P(
    DayReport, Days,
    ::testing::Values(DayCase{QDate(2001, 5, 2), " 2001/5/2  Sale Report", {"18:00:00"}, "10"},
                      DayCase{QDate(2001, 5, 3),
                              " 2001/5/3  Sale Report",
                              {"09:05:00", "11:45:00", "15:20:00"},
                              "55.3"},
                      DayCase{QDate(2001, 5, 4), " 2001/5/4  Sale Report", {"08:00:00"}, "750"},
                      DayCase{QDate(2001, 5, 5), " 2001/5/5  Sale Report", {}, "0"}));

TEST_F(DayReport, PickingADayAgainGivesTheSameListAndTotal) {
    const QStringList first = gridLines(*screen);
    pick(QDate(2001, 5, 4));
    pick(QDate(2001, 5, 3));
    EXPECT_EQ(gridLines(*screen), first);
    EXPECT_EQ(total(), "55.3");
}

// A sale without a price or a quantity is listed; the total is that of the sales that have
// both, and never the figure of the day shown before.
TEST_F(DayReport, IncompleteSalesNeverLeaveAStaleTotal) {
    shop.db.exec("INSERT INTO soldbook VALUES ('2001-05-06','10:00:00','A','Alpha',NULL,2)");
    shop.db.exec("INSERT INTO soldbook VALUES ('2001-05-06','11:00:00','B','Beta',20,NULL)");
    shop.db.exec("INSERT INTO soldbook VALUES ('2001-05-06','12:00:00','C','Gamma',4,5)");
    pick(QDate(2001, 5, 4));
    EXPECT_EQ(total(), "750");
    pick(QDate(2001, 5, 6));
    EXPECT_EQ(times(), QStringList({"10:00:00", "11:00:00", "12:00:00"}));
    EXPECT_EQ(total(), "20");
}

// The takings are exact however many sales make them, as the customers' totals at the counter
// are: a sum of doubles would drift from what the drawer holds.
TEST_F(DayReport, TakingsAreExactHoweverManySales) {
    struct Sales {
        int count;
        const char *price;
        const char *qty;
    };
    struct Case {
        QDate day;
        std::vector<Sales> sales;
        const char *total;
    };
    const Case cases[] = {
        {QDate(2001, 6, 1), {{10000, "0.1", "1"}}, "1000"},
        {QDate(2001, 6, 2), {{1, "19.95", "1"}, {1, "17.5", "1"}}, "37.45"},
        {QDate(2001, 6, 3), {{3, "0.1", "1"}, {1, "0.2", "1"}}, "0.5"},
        {QDate(2001, 6, 4), {{1, "0.3333", "3"}, {1, "12.345678", "1"}}, "13.3456"},
        {QDate(2001, 6, 5), {{2, "19.95", "-1"}, {1, "39.9", "1"}}, "0"},
    };
    for (const Case &c : cases)
        for (const Sales &sales : c.sales)
            addSales(shop.db, sales.count, conv::isoDate(c.day), sales.price, sales.qty);
    for (const Case &c : cases) {
        pick(c.day);
        EXPECT_EQ(total(), c.total) << conv::dateText(c.day).toStdString();
    }
}

TEST_F(DayReport, ATotalThatCannotBeMadeLeavesTheBoxEmpty) {
    pick(QDate(2001, 5, 4));
    shop.db.exec("ALTER TABLE soldbook RENAME TO soldbook_gone");
    pick(QDate(2001, 5, 3));
    EXPECT_EQ(gridCaption(*screen), " 2001/5/3  Sale Report");
    EXPECT_EQ(total(), "");
}

} // namespace
