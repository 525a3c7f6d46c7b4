// The demo catalogue: a believable shop whose rows hang together the way the screens expect.
#include "dataerror.h"
#include "shopfile.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace {

const QDate kToday(2024, 3, 1); // the day after a leap day, so that date arithmetic shows

class DemoCatalogue : public ::testing::Test {
protected:
    void SetUp() override { shopfile::loadDemoCatalogue(db.path(), kToday); }
    int number(const QString &sql) { return db.scalar(sql).toInt(); }
    TestDatabase db;
};

TEST_F(DemoCatalogue, HasARowCountFitForEveryScreen) {
    EXPECT_GE(db.count("Titles"), 35);
    EXPECT_GE(db.count("Subject"), 8);
    EXPECT_EQ(db.count("publishers"), 8);
    EXPECT_EQ(db.count("retail"), 6);
    EXPECT_GE(db.count("onsale"), 5);
    EXPECT_GE(db.count("Bill"), 12);
    EXPECT_GE(db.count("paidbill"), 8);
    EXPECT_GE(db.count("soldbook"), 21 * 3);
    EXPECT_EQ(db.count("tmp"), 0);
    EXPECT_EQ(db.count("tempPay"), 0);
    EXPECT_GE(number("SELECT count(*) FROM Titles WHERE Qty < SafeQty"), 3);
    EXPECT_GE(number("SELECT count(*) FROM Titles WHERE Title GLOB '*[一-龥]*'"), 3);
    EXPECT_EQ(number("SELECT count(*) FROM retail WHERE RetName IN ('O''Hara Books', '台北圖書')"),
              2);
    EXPECT_EQ(number("SELECT count(*) FROM (SELECT ISBN FROM Titles GROUP BY ISBN "
                     "HAVING count(*) > 1)"),
              0);
}

// Every name a row refers to is one that its list offers.
TEST_F(DemoCatalogue, ReferencesResolve) {
    const char *orphans[] = {
        "SELECT count(*) FROM soldbook s WHERE NOT EXISTS "
        "(SELECT 1 FROM Titles t WHERE t.ISBN = s.ISBN AND t.Title = s.Title)",
        "SELECT count(*) FROM onsale o WHERE o.ISBN NOT IN (SELECT ISBN FROM Titles)",
        "SELECT count(*) FROM Titles WHERE Subject NOT IN (SELECT Subject FROM Subject)",
        "SELECT count(*) FROM Titles WHERE Publisher NOT IN (SELECT Name FROM publishers)",
        "SELECT count(*) FROM Titles WHERE Retail NOT IN (SELECT RetName FROM retail)",
        "SELECT count(*) FROM Bill WHERE Retail NOT IN (SELECT RetName FROM retail)",
        "SELECT count(*) FROM paidbill WHERE Retail NOT IN (SELECT RetName FROM retail)",
    };
    for (const char *sql : orphans)
        EXPECT_EQ(number(sql), 0) << sql;
}

// Stored forms the reports compare as text: ISO dates that are real days, HH:MM:SS times.
TEST_F(DemoCatalogue, StoresDatesAndTimesInTheirStoredForm) {
    const char *const dates[][2] = {
        {"soldbook", "SoldDate"}, {"onsale", "Begin"},          {"onsale", "End"},
        {"Bill", "Invoice Date"}, {"paidbill", "Invoice Date"}, {"paidbill", "Paid date"}};
    for (const auto &[table, field] : dates)
        EXPECT_EQ(number(QString("SELECT count(*) FROM [%1] WHERE [%2] IS NULL OR "
                                 "date([%2]) IS NOT [%2]")
                             .arg(table, field)),
                  0)
            << table << "." << field;
    const char *const times[][2] = {
        {"soldbook", "SoldTime"}, {"Bill", "Invoice Time"}, {"paidbill", "Time"}};
    for (const auto &[table, field] : times)
        EXPECT_EQ(number(QString("SELECT count(*) FROM [%1] WHERE [%2] IS NULL OR "
                                 "time([%2]) IS NOT [%2]")
                             .arg(table, field)),
                  0)
            << table << "." << field;
}

TEST_F(DemoCatalogue, SalesRunThreeWeeksUpToTodayInShopHoursAtTheRightPrice) {
    EXPECT_EQ(
        db.rows("SELECT min(SoldDate), max(SoldDate), count(DISTINCT SoldDate) FROM soldbook"),
        QStringList{"2024-02-10|2024-03-01|21"});
    EXPECT_EQ(number("SELECT count(*) FROM soldbook WHERE SoldTime < '10:00:00' "
                     "OR SoldTime > '19:00:00' OR Qty < 1"),
              0);
    // Charged the Sale Price, or the price of an offer that ran that day.
    EXPECT_EQ(number("SELECT count(*) FROM soldbook s JOIN Titles t ON t.ISBN = s.ISBN "
                     "WHERE s.Price <> t.[Sale Price] AND NOT EXISTS (SELECT 1 FROM onsale o "
                     "WHERE o.ISBN = s.ISBN AND o.[OnSale Price] = s.Price "
                     "AND s.SoldDate BETWEEN o.[Begin] AND o.[End])"),
              0);
    EXPECT_GT(number("SELECT count(*) FROM soldbook s JOIN onsale o ON o.ISBN = s.ISBN "
                     "AND s.SoldDate BETWEEN o.[Begin] AND o.[End]"),
              0);
}

TEST_F(DemoCatalogue, OffersBillsAndPaymentsLieAroundToday) {
    EXPECT_GE(number("SELECT count(*) FROM onsale WHERE [Begin] <= '2024-03-01' "
                     "AND [End] >= '2024-03-01'"),
              2);
    EXPECT_GE(number("SELECT count(*) FROM onsale WHERE [End] < '2024-03-01'"), 1);
    EXPECT_GE(number("SELECT count(*) FROM onsale WHERE [Begin] > '2024-03-01'"), 1);
    EXPECT_EQ(number("SELECT count(*) FROM Bill WHERE [Invoice Date] < '2024-01-01' "
                     "OR [Invoice Date] > '2024-03-01'"),
              0);
    EXPECT_EQ(number("SELECT count(*) FROM paidbill WHERE [Paid date] < [Invoice Date] "
                     "OR [Paid date] > '2024-03-01'"),
              0);
    // Every supplier has bills, so that printing and paying have something to show.
    EXPECT_EQ(number("SELECT count(DISTINCT Retail) FROM Bill"), db.count("retail"));
}

TEST_F(DemoCatalogue, IsTheSameForTheSameDay) {
    TestDatabase again;
    shopfile::loadDemoCatalogue(again.path(), kToday);
    for (const char *table : {"Titles", "soldbook", "onsale", "Bill", "paidbill"}) {
        const QString sql = QString("SELECT * FROM [%1]").arg(table);
        EXPECT_EQ(again.rows(sql), db.rows(sql)) << table;
    }
}

TEST_F(DemoCatalogue, GoesOnlyIntoAnEmptyShop) {
    const QStringList before = db.rows("SELECT count(*) FROM soldbook");
    EXPECT_THROW(shopfile::loadDemoCatalogue(db.path(), kToday), DataError);
    EXPECT_EQ(db.rows("SELECT count(*) FROM soldbook"), before);
    EXPECT_THROW(shopfile::loadDemoCatalogue(db.path() + ".missing", kToday), DataError);
}

} // namespace
