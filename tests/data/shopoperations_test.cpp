// The shop's tables as code knows them, and the shop's operations on a session, without
// any screen: what is stored, what is refused, and what the session's record sets show after.
#include "connection.h"
#include "dataerror.h"
#include "recordsource.h"
#include "shopoperations.h"
#include "shopsession.h"
#include "shopsteps.h"
#include "shopversion.h"
#include "testserver.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace {

// Each table and column as code names it is the one the shop file has, in its place and of
// its declared kind, and no table of the file is left out.
TEST(ShopTables, TheDescriptionIsTheSchemaOfAShopFile) {
    TestDatabase db;
    QStringList described;
    const auto shopTables = shopversion::tablesOf(shopversion::newest(steps::all), steps::all);
    for (const TableDescription *shopTable : shopTables) {
        const TableDescription &table = *shopTable;
        described << table.name;
        QStringList expected, actual;
        for (const Column &column : table.columns)
            expected << QStringLiteral("%1|%2|%3")
                            .arg(column.name)
                            .arg(column.position)
                            .arg(static_cast<int>(column.kind));
        Statement info = db.connection().prepare(
            QStringLiteral("PRAGMA table_info([%1])").arg(QLatin1String(table.name)));
        while (info.step())
            actual << QStringLiteral("%1|%2|%3")
                          .arg(info.value(1).toString())
                          .arg(info.value(0).toInt())
                          .arg(static_cast<int>(conv::kindFromDeclaredType(
                              info.value(2).toString(), info.value(5).toInt() != 0)));
        EXPECT_EQ(actual, expected) << table.name;
    }
    EXPECT_EQ(described, db.rows("SELECT name FROM sqlite_master WHERE type = 'table' AND name "
                                 "NOT LIKE 'sqlite_%' ORDER BY rowid"));
    EXPECT_EQ(described.size(), qsizetype(shopTables.size()));
}

struct OperationCase {
    const char *what;
    std::function<void(ShopSession &)> run;
    const char *watched;  // record-source text of a record set on the same session
    const char *failure;  // expected DataError text part, or nullptr
    const char *query;    // what the shop file holds afterwards
    QStringList expected; // its rows
    QStringList shown;    // the watched record set's first column afterwards
};

TEST(ShopOperations, EachStoresItsWorkWholeAndTheSessionsListsFollow) {
    const SaleLine sale{1, "111", "One", Money::fromUnits(375000), 2};
    const SaleLine gone{99, "999", "Gone", Money::fromUnits(100000), 1};
    const OperationCase cases[] = {
        {"a sale lowers the stock and is recorded",
         [&](ShopSession &s) { shop::bookSale(s, sale, QDate(2001, 5, 3), QTime(9, 5)); },
         "select * from Titles order by BOOKNO",
         nullptr,
         "SELECT t.Qty, s.SoldDate, s.SoldTime, s.ISBN, s.Title, s.Price, s.Qty FROM Titles t, "
         "soldbook s WHERE t.BOOKNO = 1 AND s.SoldDate = '2001-05-03' AND s.ISBN = '111'",
         {"3|2001-05-03|09:05:00|111|One|37.5|2"},
         {"1", "2"}},
        {"a sale of a title deleted since its lookup changes nothing",
         [&](ShopSession &s) { shop::bookSale(s, gone, QDate(2001, 5, 3), QTime(9, 5)); },
         "select * from Titles order by BOOKNO",
         "no longer in the catalogue",
         "SELECT (SELECT sum(Qty) FROM Titles), (SELECT count(*) FROM soldbook)",
         {"9|4"},
         {"1", "2"}},
        {"titles put on offer",
         [](ShopSession &s) {
             EXPECT_EQ(shop::putOnOffer(s, {"111", 9.5, QDate(2001, 5, 1), QDate(2001, 5, 31)}), 1);
         },
         "select * from onsale",
         nullptr,
         "SELECT * FROM onsale",
         {"111|9.5|2001-05-01|2001-05-31"},
         {"111"}},
        {"a supplier's invoice becomes an open bill",
         [](ShopSession &s) {
             shop::recordInvoice(s, {"B-4", QDate(2001, 5, 4), "1250", QTime(16, 5), "Ace"});
         },
         "select * from Bill",
         nullptr,
         "SELECT * FROM Bill WHERE [Invoice No] = 'B-4'",
         {"B-4|2001-05-04|1250|16:05:00|Ace"},
         {"B-1", "B-2", "B-3", "B-4"}},
        {"an invoice whose fee is no amount is not written",
         [](ShopSession &s) {
             shop::recordInvoice(s, {"B-4", QDate(2001, 5, 4), "twelve", QTime(16, 5), "Ace"});
         },
         "select * from Bill",
         "Fee",
         "SELECT count(*) FROM Bill",
         {"3"},
         {"B-1", "B-2", "B-3"}},
        {"a delivery adds to the stock stored now",
         [](ShopSession &s) { shop::addDelivery(s, 1, 3); },
         "select * from Titles order by BOOKNO",
         nullptr,
         "SELECT Qty FROM Titles ORDER BY BOOKNO",
         {"8", "4"},
         {"1", "2"}},
        {"a delivery to a title deleted since it was read changes nothing",
         [](ShopSession &s) { shop::addDelivery(s, 7, 3); },
         "select * from Titles order by BOOKNO",
         "deleted it",
         "SELECT Qty FROM Titles ORDER BY BOOKNO",
         {"5", "4"},
         {"1", "2"}},
        {"a paid bill moves to paidbill with its day",
         [](ShopSession &s) { EXPECT_TRUE(shop::payBill(s, 2, QDate(2001, 5, 10))); },
         "select * from Bill",
         nullptr,
         "SELECT * FROM paidbill",
         {"B-2|2001-05-02|20|09:00:00|Ace|2001-05-10"},
         {"B-1", "B-3"}},
        {"a bill already paid is not paid twice",
         [](ShopSession &s) { EXPECT_FALSE(shop::payBill(s, 7, QDate(2001, 5, 10))); },
         "select * from Bill",
         nullptr,
         "SELECT count(*) FROM paidbill",
         {"0"},
         {"B-1", "B-2", "B-3"}},
        {"a listing is copied for printing with its supplier",
         [](ShopSession &s) {
             shop::copyBillListing(s, {3, 1}, "Ace");
         },
         "select * from tempPay",
         nullptr,
         "SELECT [Invoice No], Fee, RetName FROM tempPay",
         {"B-3|30|Ace", "B-1|10|Ace"},
         {"B-3", "B-1"}},
        {"the top sellers of a period, one row per ISBN",
         [](ShopSession &s) { shop::buildTopSellers(s, QDate(2001, 5, 1), QDate(2001, 5, 2)); },
         "select * from tmp",
         nullptr,
         "SELECT A, B, C FROM tmp ORDER BY rowid",
         // An integer column of the file keeps a fraction; the server's rounds it.
         {"111|One|5", testserver::enabled() ? "222|Two|2" : "222|Two|1.5"},
         {"111", "222"}},
    };
    for (const OperationCase &c : cases) {
        SCOPED_TRACE(c.what);
        TestDatabase db;
        db.exec("INSERT INTO Titles (ISBN, Title, [Sale Price], Qty) VALUES ('111', 'One', 37.5, "
                "5), ('222', 'Two', 20, 4)");
        db.exec("INSERT INTO Bill VALUES ('B-1', '2001-05-01', 10, '09:00:00', 'Ace'), "
                "('B-2', '2001-05-02', 20, '09:00:00', 'Ace'), "
                "('B-3', '2001-05-03', 30, '09:00:00', 'Ace')");
        db.exec("INSERT INTO soldbook VALUES ('2001-05-01', '10:00:00', '111', 'One', 37.5, 2), "
                "('2001-05-02', '10:00:00', '222', 'Two', 20, 1.5), "
                "('2001-05-02', '11:00:00', '111', 'One again', 37.5, 3), "
                "('2001-05-03', '10:00:00', '333', 'Three', 10, 9)");
        db.exec("INSERT INTO tmp VALUES ('old', 'summary', '1')");
        auto session = ShopSession::open(db.shop());
        RecordSource watched("watched", session);
        watched.open(QString::fromLatin1(c.watched));
        if (c.failure != nullptr) {
            try {
                c.run(*session);
                ADD_FAILURE() << "no DataError";
            } catch (const DataError &error) {
                EXPECT_TRUE(error.description().contains(QLatin1String(c.failure)))
                    << error.description().toStdString();
            }
        } else {
            c.run(*session);
        }
        EXPECT_EQ(db.rows(QString::fromLatin1(c.query)), c.expected);
        QStringList shown;
        for (int row = 0; row < watched.recordCount(); ++row)
            shown << watched.textAt(row, 0);
        EXPECT_EQ(shown, c.shown);
    }
}

// After a change the session's record sets keep their current row while it is there; a row
// that went leaves none current, so that nothing is done to the wrong row.
TEST(ShopOperations, ARecordSetKeepsItsRowOrLosesItWhenTheRowGoes) {
    const struct {
        qint64 current, paid;
        int row; // current row afterwards, -1 for none
    } cases[] = {{3, 1, 1}, {2, 2, -1}, {1, 3, 0}};
    for (const auto &c : cases) {
        TestDatabase db;
        db.exec("INSERT INTO Bill VALUES ('B-1', '2001-05-01', 10, '09:00:00', 'Ace'), "
                "('B-2', '2001-05-02', 20, '09:00:00', 'Ace'), "
                "('B-3', '2001-05-03', 30, '09:00:00', 'Ace')");
        auto session = ShopSession::open(db.shop());
        RecordSource bills("bills", session);
        bills.open("select * from Bill");
        bills.moveTo(static_cast<int>(c.current - 1));
        ASSERT_TRUE(shop::payBill(*session, c.paid, QDate(2001, 5, 10)));
        EXPECT_EQ(bills.currentRow(), c.row) << c.current << " " << c.paid;
        if (c.row >= 0) {
            EXPECT_EQ(bills.rowid(c.row), c.current);
        }
    }
}

} // namespace
