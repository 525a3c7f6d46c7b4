// The period report: all sales before the first List, then the period's sales and takings.
#include "datepicker.h"
#include "dayreportscreen.h"
#include "monthreportscreen.h"
#include "reportgrid.h"

#include <QPushButton>
#include <gtest/gtest.h>

namespace {

class MonthReport : public ReportTest<MonthReportScreen> {
protected:
    void SetUp() override {
        addSale(shop.db, "2001-05-03", "09:00:00", "B", "Beta", "12.5", "2");
        addSale(shop.db, "2001-04-30", "18:00:00", "A", "Alpha", "1", "1");
        addSale(shop.db, "2001-05-01", "10:00:00", "A", "Alpha", "10", "3");
        addSale(shop.db, "2001-05-31", "17:00:00", "C", "Gamma", "250", "3");
        addSale(shop.db, "2001-06-01", "08:00:00", "C", "Gamma", "2", "2");
        open();
    }
    void list(const QDate &first, const QDate &last) {
        screen->findChild<DatePicker *>("DTPicker1")->setDate(first);
        screen->findChild<DatePicker *>("DTPicker2")->setDate(last);
        screen->findChild<QPushButton *>("Command1")->click();
    }
    QStringList days() const { return gridColumn(*screen, 0); }
};

TEST_F(MonthReport, BeforeTheFirstListAllSalesAndNoTotal) {
    EXPECT_EQ(screen->windowTitle(), "MonthSaleReport");
    EXPECT_EQ(gridCaption(*screen), "Month report");
    EXPECT_EQ(gridLines(*screen).size(), 5);
    EXPECT_EQ(total(), "");
    EXPECT_EQ(screen->findChild<DatePicker *>("DTPicker1")->day(), QDate(2001, 5, 3));
    EXPECT_EQ(screen->findChild<DatePicker *>("DTPicker2")->day(), QDate(2001, 5, 3));
    // Pickers alone change nothing until List is pressed.
    screen->findChild<DatePicker *>("DTPicker1")->setDate(QDate(2001, 5, 1));
    EXPECT_EQ(gridLines(*screen).size(), 5);
    EXPECT_EQ(gridCaption(*screen), "Month report");
    EXPECT_EQ(total(), "");
    EXPECT_TRUE(gridIsReadOnly(*screen));
}

struct PeriodCase {
    const char *name;
    QDate first, last;
    QString caption;
    QStringList days;
    QString total;
};

class Periods : public MonthReport, public ::testing::WithParamInterface<PeriodCase> {};

TEST_P(Periods, ListGivesThePeriodInDayOrderWithItsTotal) {
    const PeriodCase &c = GetParam();
    list(c.first, c.last);
    EXPECT_EQ(gridCaption(*screen), c.caption);
    EXPECT_EQ(days(), c.days);
    EXPECT_EQ(total(), c.total);
}

INSTANTIATE_TEST_SUITE_P(MonthReport, Periods,
                         ::testing::Values(PeriodCase{"May",
                                                      QDate(2001, 5, 1),
                                                      QDate(2001, 5, 31),
                                                      " 2001/5/1 To 2001/5/31  Sale Report",
                                                      {"2001/5/1", "2001/5/3", "2001/5/31"},
                                                      "805"},
                                           PeriodCase{"AcrossMonths",
                                                      QDate(2001, 4, 30),
                                                      QDate(2001, 5, 1),
                                                      " 2001/4/30 To 2001/5/1  Sale Report",
                                                      {"2001/4/30", "2001/5/1"},
                                                      "31"},
                                           PeriodCase{"Reversed",
                                                      QDate(2001, 5, 31),
                                                      QDate(2001, 5, 1),
                                                      " 2001/5/31 To 2001/5/1  Sale Report",
                                                      {},
                                                      "0"},
                                           PeriodCase{"NoSales",
                                                      QDate(2002, 1, 1),
                                                      QDate(2002, 1, 31),
                                                      " 2002/1/1 To 2002/1/31  Sale Report",
                                                      {},
                                                      "0"}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(MonthReport, OneDayGivesTheDayReportsRowsAndTotal) {
    addSale(shop.db, "2001-05-03", "08:00:00", "A", "Alpha", "3", "3");
    list(QDate(2001, 5, 3), QDate(2001, 5, 3));
    DayReportScreen day(shop.context);
    QStringList listed = gridLines(*screen), shown = gridLines(day);
    listed.sort();
    shown.sort();
    EXPECT_EQ(listed, shown);
    EXPECT_EQ(total(), reportTotal(day));
    EXPECT_EQ(total(), "34");
}

TEST_F(MonthReport, IncompleteSalesNeverLeaveAStaleTotal) {
    list(QDate(2001, 5, 1), QDate(2001, 5, 31));
    EXPECT_EQ(total(), "805");
    shop.db.exec("INSERT INTO soldbook VALUES ('2001-07-02','10:00:00','A','Alpha',NULL,2)");
    shop.db.exec("INSERT INTO soldbook VALUES ('2001-07-03','10:00:00','B','Beta',7,3)");
    list(QDate(2001, 7, 1), QDate(2001, 7, 31));
    EXPECT_EQ(days(), QStringList({"2001/7/2", "2001/7/3"}));
    EXPECT_EQ(total(), "21");
}

} // namespace
