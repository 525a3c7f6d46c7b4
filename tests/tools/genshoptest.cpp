// The large-shop generator: the same shop for the same seed, the sizes asked for, sales that
// agree with the catalogue and offers, and never a file overwritten or left half-made.
#include "connection.h"
#include "dataerror.h"
#include "opendatabase.h"
#include "shopgenerator.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

ShopSizes smallShop(std::uint64_t seed = 7) {
    ShopSizes sizes;
    sizes.seed = seed;
    sizes.sales = 5000;
    sizes.titles = 800;
    sizes.suppliers = 60; // more than the listed names
    sizes.bills = 300;
    sizes.offers = 120;
    sizes.years = 1;
    sizes.lastDay = QDate(2001, 5, 3);
    return sizes;
}

// A digest of every row of every table, in rowid order.
QByteArray digest(const QString &path) {
    Connection db = drivers::connect(path);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const char *table :
         {"Titles", "Subject", "publishers", "retail", "soldbook", "onsale", "Bill", "paidbill"}) {
        Statement rows = db.prepare(QString("SELECT * FROM [%1] ORDER BY rowid").arg(table));
        while (rows.step())
            for (int c = 0; c < rows.columnCount(); ++c)
                hash.addData((rows.value(c).toString() + '|').toUtf8());
    }
    return hash.result();
}

qint64 number(Connection &db, const QString &sql) {
    return db.scalar(sql).toLongLong();
}

class GeneratedShopTest : public ::testing::Test {
protected:
    QString path(const char *name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

TEST_F(GeneratedShopTest, SameSeedSameShopOtherSeedOtherShop) {
    shopgen::generate(path("a.mdb"), smallShop(7));
    shopgen::generate(path("b.mdb"), smallShop(7));
    shopgen::generate(path("c.mdb"), smallShop(8));
    EXPECT_EQ(digest(path("a.mdb")), digest(path("b.mdb")));
    EXPECT_NE(digest(path("a.mdb")), digest(path("c.mdb")));
}

TEST_F(GeneratedShopTest, HasTheSizesAskedForAndReportsThem) {
    const ShopSizes sizes = smallShop();
    const GeneratedShop shop = shopgen::generate(path("a.mdb"), sizes);
    Connection db = drivers::connect(path("a.mdb"));
    EXPECT_EQ(number(db, "SELECT count(*) FROM soldbook"), sizes.sales);
    EXPECT_EQ(number(db, "SELECT count(*) FROM Titles"), sizes.titles);
    EXPECT_EQ(number(db, "SELECT count(*) FROM retail"), sizes.suppliers);
    EXPECT_EQ(number(db, "SELECT count(DISTINCT RetName) FROM retail"), sizes.suppliers);
    EXPECT_EQ(number(db, "SELECT (SELECT count(*) FROM Bill) + (SELECT count(*) FROM paidbill)"),
              sizes.bills);
    EXPECT_GT(number(db, "SELECT count(*) FROM paidbill"), 0);
    EXPECT_EQ(number(db, "SELECT count(*) FROM onsale"), sizes.offers);
    EXPECT_EQ(number(db, "SELECT count(*) FROM tmp") + number(db, "SELECT count(*) FROM tempPay"),
              0);
    qint64 reported = 0;
    for (const TableRows &table : shop.tables)
        reported += table.rows;
    EXPECT_EQ(reported, shop.totalRows);
    EXPECT_EQ(number(db, "SELECT count(*) FROM soldbook") +
                  number(db, "SELECT count(*) FROM Titles"),
              sizes.sales + sizes.titles);
    // About a quarter of the catalogue is below its safe quantity.
    const double below = static_cast<double>(number(db, "SELECT count(*) FROM Titles "
                                                        "WHERE Qty < SafeQty")) /
                         sizes.titles;
    EXPECT_GT(below, 0.18);
    EXPECT_LT(below, 0.32);
}

TEST_F(GeneratedShopTest, SalesAgreeWithTheCatalogueAndTheOffers) {
    shopgen::generate(path("a.mdb"), smallShop());
    Connection db = drivers::connect(path("a.mdb"));
    const QStringList checks = {
        // Every ISBN is unique, and every sale is of a catalogue title under its title.
        "SELECT count(*) - count(DISTINCT ISBN) FROM Titles",
        "SELECT count(*) FROM soldbook s WHERE NOT EXISTS "
        "(SELECT 1 FROM Titles t WHERE t.ISBN = s.ISBN AND t.Title = s.Title)",
        // One year of sales up to the last day, in the order they were made.
        "SELECT count(*) FROM soldbook WHERE SoldDate < '2000-05-04' OR SoldDate > '2001-05-03'",
        "SELECT count(*) FROM soldbook a JOIN soldbook b ON b.rowid = a.rowid + 1 "
        "WHERE b.SoldDate || b.SoldTime < a.SoldDate || a.SoldTime",
        "SELECT count(*) FROM soldbook WHERE Qty < 1 OR SoldTime NOT BETWEEN '09:00:00' AND "
        "'20:59:59'",
        // The price charged is the offer's on its days, the sale price otherwise.
        "SELECT count(*) FROM soldbook s JOIN Titles t ON t.ISBN = s.ISBN "
        "LEFT JOIN onsale o ON o.ISBN = s.ISBN AND s.SoldDate BETWEEN o.[Begin] AND o.[End] "
        "WHERE s.Price <> coalesce(o.[OnSale Price], t.[Sale Price])",
        "SELECT count(*) FROM paidbill WHERE [Paid date] < [Invoice Date]",
    };
    for (const QString &check : checks)
        EXPECT_EQ(number(db, check), 0) << qPrintable(check);
    EXPECT_GT(number(db, "SELECT count(*) FROM soldbook s JOIN onsale o ON o.ISBN = s.ISBN "
                         "AND s.SoldDate BETWEEN o.[Begin] AND o.[End]"),
              0);
    // The shop's own indexes and journal mode, as a new shop file has them.
    EXPECT_EQ(number(db, "SELECT count(*) FROM sqlite_master WHERE type = 'index' AND "
                         "name IN ('soldbookSoldDate', 'soldbookISBN', 'TitlesISBN')"),
              3);
    EXPECT_EQ(db.scalar("PRAGMA journal_mode").toString(), "wal");
}

TEST_F(GeneratedShopTest, NeverOverwritesAndLeavesNothingOfABadRequest) {
    QFile existing(path("a.mdb"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("the shop's real data");
    existing.close();
    EXPECT_THROW(shopgen::generate(path("a.mdb"), smallShop()), DataError);
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), QByteArray("the shop's real data"));

    ShopSizes noTitles = smallShop();
    noTitles.titles = 0;
    EXPECT_THROW(shopgen::generate(path("b.mdb"), noTitles), DataError);
    EXPECT_FALSE(QFile::exists(path("b.mdb")));
}

} // namespace
