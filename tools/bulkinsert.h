// One prepared INSERT, bound and reused row after row: the fast path by which the large-shop
// generator fills a table through the SQLite C API.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

class BulkInsert {
public:
    // Prepares "INSERT INTO [table] ([c1], ...) VALUES (?, ...)". Throws DataError.
    BulkInsert(sqlite3 *db, const char *table, std::initializer_list<const char *> columns);
    ~BulkInsert();
    BulkInsert(const BulkInsert &) = delete;
    BulkInsert &operator=(const BulkInsert &) = delete;

    // Values for the next row, in column order. Text is not copied: it must stay alive and
    // unchanged until row() has run.
    BulkInsert &text(std::string_view value);
    BulkInsert &integer(std::int64_t value);
    BulkInsert &money(double value);
    BulkInsert &null();
    // Writes the row and readies the statement for the next one. Throws DataError.
    void row();
    std::int64_t rows() const { return rows_; }

private:
    sqlite3 *db_;
    sqlite3_stmt *stmt_ = nullptr;
    std::string table_;
    int next_ = 1;
    std::int64_t rows_ = 0;
};
