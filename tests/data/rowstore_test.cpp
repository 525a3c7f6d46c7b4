// The packed rows of a record set: values come back exactly, across the arena's chunk
// boundaries, after edits and deletes and the compaction they lead to, as either engine hands
// a statement's cells over, and the store stays close to the size of its data.
#include "rowstore.h"

#include "connection.h"
#include "testsupport.h"

#include <QString>
#include <gtest/gtest.h>
#include <vector>

namespace {

// A row of three cells whose text length varies with n, some rows far larger than a chunk.
QVariantList rowFor(int n) {
    const int length = n % 1000 == 999 ? 3'000'000 : n % 7 == 0 ? 0 : n % 97;
    return {QVariant(qlonglong(n) * 1'000'003LL * (n % 2 ? 1 : 4'000'000'000LL)),
            QVariant(QString(length, QChar(u'a' + n % 26)) + QString::fromUtf8("é")),
            n % 5 == 0 ? QVariant() : QVariant(n / 4.0)};
}

void expectRow(const RowStore &store, int row, int n) {
    const QVariantList expected = rowFor(n);
    ASSERT_EQ(store.rowValues(row), expected) << "row " << row << " made from " << n;
    EXPECT_EQ(store.cell(row, 1), expected[1]);
}

TEST(RowStoreTest, KeepsEveryValueAcrossChunksEditsAndCompaction) {
    RowStore store(3);
    std::vector<int> made; // what each row was made from, kept beside the store
    auto expectAll = [&] {
        ASSERT_EQ(store.rowCount(), static_cast<int>(made.size()));
        for (int row = 0; row < store.rowCount(); ++row) {
            expectRow(store, row, made[static_cast<std::size_t>(row)]);
            EXPECT_EQ(store.rowid(row), made[static_cast<std::size_t>(row)] + 100);
        }
    };
    for (int n = 0; n < 5000; ++n) {
        store.append(n + 100, rowFor(n));
        made.push_back(n);
    }
    expectAll();
    const std::size_t loaded = store.bytesUsed();
    EXPECT_GT(loaded, 15'000'000u); // five rows of 3 MB among small ones

    // Replacing the five large rows by small ones leaves their old bytes the bulk of the
    // arena: it is rebuilt, and gives the memory back.
    for (int row = 999; row < 5000; row += 1000) {
        store.replace(row, row + 1 + 100, rowFor(row + 1));
        made[static_cast<std::size_t>(row)] = row + 1;
    }
    expectAll();
    EXPECT_LT(store.bytesUsed(), loaded / 4);

    for (int row = store.rowCount() - 1; row >= 0; row -= 3) {
        store.remove(row);
        made.erase(made.begin() + row);
    }
    store.insert(1, 42 + 100, rowFor(42));
    made.insert(made.begin() + 1, 42);
    store.replace(0, 1999 + 100, rowFor(1999));
    made[0] = 1999;
    expectAll();
}

// Each kind of cell as either engine hands it over: the row read while the statement still
// streams, and the rows a server reads ahead once another statement is sent on the connection.
TEST(RowStoreTest, TakesEachKindOfCellFromAStatement) {
    TestDatabase db;
    db.exec("INSERT INTO soldbook VALUES ('2001-05-03','10:30:00','978-\xc3\x89',NULL,12.5,3)");
    db.exec("INSERT INTO soldbook VALUES ('2001-05-04','11:00:00','A''B',NULL,0.25,2)");
    db.exec("INSERT INTO soldbook VALUES ('2001-05-05','12:00:00','',NULL,NULL,NULL)");
    const QVariant null;
    const struct {
        const char *cells;
        std::vector<QVariantList> rows;
    } cases[] = {
        {"[SoldDate], [SoldTime]",
         {{"2001-05-03", "10:30:00"}, {"2001-05-04", "11:00:00"}, {"2001-05-05", "12:00:00"}}},
        {"[ISBN], [Title]", {{QString::fromUtf8("978-\xc3\x89"), null}, {"A'B", null}, {"", null}}},
        {"[Price], [Qty]", {{12.5, 3LL}, {0.25, 2LL}, {null, null}}},
        {"[Qty] * 5000000000, [Qty] > 2",
         {{15000000000LL, 1LL}, {10000000000LL, 0LL}, {null, null}}},
        {"[Price] * [Qty], [Title]", {{37.5, null}, {0.5, null}, {null, null}}},
    };
    const QStringList rowids = db.rows("SELECT rowid FROM soldbook ORDER BY [SoldDate]");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.cells);
        Statement stmt = db.connection().prepare(
            QStringLiteral("SELECT rowid, %1 FROM soldbook ORDER BY [SoldDate]").arg(c.cells));
        RowStore store(2);
        ASSERT_TRUE(stmt.step());
        store.appendFromStatement(stmt);
        EXPECT_EQ(db.scalar("SELECT count(*) FROM Titles").toInt(), 0); // the rest read ahead
        while (stmt.step())
            store.appendFromStatement(stmt);
        ASSERT_EQ(store.rowCount(), 3);
        for (int row = 0; row < 3; ++row) {
            EXPECT_EQ(store.rowValues(row), c.rows[static_cast<std::size_t>(row)]) << row;
            EXPECT_EQ(QString::number(store.rowid(row)), rowids[row]);
        }
    }
}

TEST(RowStoreTest, HoldsRowsFromAStatementInLittleMoreThanTheirData) {
    TestDatabase db;
    db.exec("WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 20000)"
            " INSERT INTO soldbook SELECT '2024-03-07', NULL, NULL, NULL, i / 8.0, i FROM k");
    Statement stmt =
        db.connection().prepare("SELECT rowid, [SoldDate], [Qty], [Price], [Title] FROM soldbook");
    RowStore store(4);
    while (stmt.step())
        store.appendFromStatement(stmt);

    ASSERT_EQ(store.rowCount(), 20000);
    EXPECT_EQ(store.rowValues(19999),
              (QVariantList{QString("2024-03-07"), 20000LL, 2500.0, QVariant()}));
    // 12 + 5 + 9 + 1 bytes of cells and 16 of row bookkeeping: well under twice that.
    EXPECT_LT(static_cast<double>(store.bytesUsed()) / store.rowCount(), 2 * (27 + 16));
    // A statement with fewer cells than the store's columns leaves the rest null.
    Statement narrow = db.connection().prepare("SELECT rowid, [SoldDate] FROM soldbook");
    ASSERT_TRUE(narrow.step());
    store.appendFromStatement(narrow);
    EXPECT_EQ(store.rowValues(20000),
              (QVariantList{"2024-03-07", QVariant(), QVariant(), QVariant()}));

    RowStore small(1);
    small.append(1, {QString("a few bytes")});
    EXPECT_LT(small.bytesUsed(), 2048u); // a handful of rows costs no large chunk
}

} // namespace

// A row's stored cells, read in one walk along it, hold the values cell() gives, each kind
// as it is kept.
TEST(RowStoreTest, StoredCellsAreTheRowsValues) {
    const struct {
        QVariant value;
        StoredAs kind;
    } cells[] = {{QVariant(), StoredAs::Null},
                 {qlonglong(-7), StoredAs::Whole},
                 {qlonglong(5'000'000'000LL), StoredAs::Whole},
                 {2.5, StoredAs::Real},
                 {QString(""), StoredAs::Text},
                 {QString(300, u'x') + QString::fromUtf8("é"), StoredAs::Text}};
    QVariantList values;
    for (const auto &cell : cells)
        values << cell.value;
    RowStore store(static_cast<int>(values.size()));
    store.append(1, {});
    store.append(9, values);
    std::vector<RowStore::Stored> stored(values.size());
    store.storedRow(1, stored.data());
    for (int column = 0; column < values.size(); ++column) {
        const RowStore::Stored &cell = stored[static_cast<std::size_t>(column)];
        const QVariant read = cell.kind == StoredAs::Whole  ? QVariant(qlonglong(cell.whole))
                              : cell.kind == StoredAs::Real ? QVariant(cell.real)
                              : cell.kind == StoredAs::Text
                                  ? QVariant(QString::fromUtf8(cell.text, qsizetype(cell.size)))
                                  : QVariant();
        EXPECT_EQ(cell.kind, cells[column].kind) << column;
        EXPECT_EQ(read, cells[column].value) << column;
        EXPECT_EQ(store.cell(1, column), cells[column].value) << column;
    }
    EXPECT_EQ(store.rowid(1), 9);
}

TEST(RowStoreSums, ProductsLeaveOutRowsWithoutBothNumbers) {
    RowStore store(3);
    store.append(1, {QString("a"), 12.5, qlonglong(3)});
    store.append(2, {QString("b"), QVariant(), qlonglong(2)});
    store.append(3, {QString("c"), 250.0, QVariant()});
    store.append(4, {QString("d"), qlonglong(4), qlonglong(5)});
    EXPECT_DOUBLE_EQ(store.sumOfProducts(1, 2), 37.5 + 20);
    EXPECT_DOUBLE_EQ(store.sumOfProducts(1, 2, 3), 37.5);
    EXPECT_DOUBLE_EQ(RowStore(3).sumOfProducts(1, 2), 0);
}
