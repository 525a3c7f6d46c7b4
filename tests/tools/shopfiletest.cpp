// Creating a shop database file: the tables of its version in their column order, WAL mode,
// and never a file overwritten.
#include "shopfile.h"
#include "connection.h"
#include "dataerror.h"
#include "opendatabase.h"
#include "shopversion.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList column(Connection &db, const QString &sql) {
    QStringList values;
    Statement stmt = db.prepare(sql);
    while (stmt.step())
        values << stmt.value(0).toString();
    return values;
}

QByteArray readAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

struct TableColumns {
    const char *table;
    QStringList columns;
};

class CreatedShopFile : public ::testing::TestWithParam<TableColumns> {};

TEST_P(CreatedShopFile, HasTheTableWithItsColumnsInOrder) {
    QTemporaryDir dir;
    const QString path = dir.filePath("new/folders/book1.mdb");
    shopfile::create(path);
    Connection db = drivers::connect(path);
    EXPECT_EQ(column(db, QString("SELECT name FROM pragma_table_info('%1') ORDER BY cid")
                             .arg(GetParam().table)),
              GetParam().columns);
}

INSTANTIATE_TEST_SUITE_P(
    TenTables, CreatedShopFile,
    ::testing::Values(
        TableColumns{"Titles",
                     {"BOOKNO", "ISBN", "Title", "Author", "Subject", "Publisher", "Year Published",
                      "Fixed Price", "Sale Price", "PurchasePrice", "Qty", "SafeQty", "Retail"}},
        TableColumns{"Subject", {"Subject No", "Subject"}},
        TableColumns{"publishers",
                     {"PubID", "Name", "Company Name", "Address", "City", "State", "Zip",
                      "Telephone", "Fax"}},
        TableColumns{"retail", {"RetNo", "RetName", "RetAddress", "RetTel", "Salesman"}},
        TableColumns{"soldbook", {"SoldDate", "SoldTime", "ISBN", "Title", "Price", "Qty"}},
        TableColumns{"onsale", {"ISBN", "OnSale Price", "Begin", "End"}},
        TableColumns{"Bill", {"Invoice No", "Invoice Date", "Fee", "Invoice Time", "Retail"}},
        TableColumns{"paidbill",
                     {"Invoice No", "Invoice Date", "Fee", "Time", "Retail", "Paid date"}},
        TableColumns{"tmp", {"A", "B", "C"}},
        TableColumns{"tempPay",
                     {"Invoice No", "Invoice Date", "Fee", "Invoice Time", "Retail", "RetName"}}),
    [](const auto &info) { return std::string(info.param.table); });

TEST(CreateShopFile, MakesTheEmptyTablesOfTheNewestVersionInWalMode) {
    QTemporaryDir dir;
    const QString path = dir.filePath("book1.mdb");
    shopfile::create(path);
    Connection db = drivers::connect(path);
    EXPECT_EQ(column(db, "PRAGMA journal_mode"), QStringList{"wal"});
    EXPECT_EQ(column(db, "SELECT count(*) FROM sqlite_master WHERE type = 'table' "
                         "AND name NOT LIKE 'sqlite_%'"),
              QStringList{QString::number(
                  shopversion::tablesOf(shopversion::newest(steps::all), steps::all).size())});
    EXPECT_EQ(column(db, "SELECT count(*) FROM Titles"), QStringList{"0"});
}

TEST(CreateShopFile, RefusesAnExistingFileAndLeavesItAlone) {
    QTemporaryDir dir;
    const QString path = dir.filePath("book1.mdb");
    shopfile::create(path);
    {
        Connection db = drivers::connect(path);
        db.exec("INSERT INTO retail (RetName) VALUES ('O''Hara Books')");
    }
    const QByteArray before = readAll(path);
    EXPECT_THROW(shopfile::create(path), DataError);
    EXPECT_EQ(readAll(path), before);
    Connection db = drivers::connect(path);
    EXPECT_EQ(column(db, "SELECT RetName FROM retail"), QStringList{"O'Hara Books"});

    // Not a database at all: still never touched.
    const QString other = dir.filePath("notes.txt");
    QFile notes(other);
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("the shop's notes");
    notes.close();
    EXPECT_THROW(shopfile::create(other), DataError);
    EXPECT_EQ(readAll(other), QByteArray("the shop's notes"));
}

TEST(CreateShopFile, FailureLeavesNothingBehind) {
    QTemporaryDir dir;
    // A plain file where a folder would have to be.
    QFile blocker(dir.filePath("shop"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_THROW(shopfile::create(dir.filePath("shop/book1.mdb")), DataError);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{"shop"});
}

} // namespace
