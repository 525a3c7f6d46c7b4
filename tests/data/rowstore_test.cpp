// The packed rows of a record set: values come back exactly, across the arena's chunk
// boundaries, after edits and deletes and the compaction they lead to, and the store stays
// close to the size of its data.
#include "rowstore.h"

#include <QString>
#include <gtest/gtest.h>
#include <sqlite3.h>
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

TEST(RowStoreTest, HoldsRowsFromAStatementInLittleMoreThanTheirData) {
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    sqlite3_exec(db,
                 "CREATE TABLE t (d TEXT, q INTEGER, p REAL, n TEXT);"
                 "WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 20000)"
                 " INSERT INTO t SELECT '2024-03-07', i, i / 8.0, NULL FROM k;",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT rowid, * FROM t", -1, &stmt, nullptr);
    RowStore store(4);
    while (sqlite3_step(stmt) == SQLITE_ROW)
        store.appendFromStatement(stmt);
    sqlite3_finalize(stmt);
    sqlite3_close(db);

    ASSERT_EQ(store.rowCount(), 20000);
    EXPECT_EQ(store.rowValues(19999),
              (QVariantList{QString("2024-03-07"), 20000LL, 2500.0, QVariant()}));
    EXPECT_EQ(store.rowid(0), 1);
    // 12 + 5 + 9 + 1 bytes of cells and 16 of row bookkeeping: well under twice that.
    EXPECT_LT(static_cast<double>(store.bytesUsed()) / store.rowCount(), 2 * (27 + 16));

    RowStore small(1);
    small.append(1, {QString("a few bytes")});
    EXPECT_LT(small.bytesUsed(), 2048u); // a handful of rows costs no large chunk
}

} // namespace

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
