// One prepared INSERT, bound and reused row after row: the fast path by which the large-shop
// generator fills a table.
#pragma once

#include "sqlitefile.h"

#include <cstdint>
#include <initializer_list>
#include <string_view>

class BulkInsert {
public:
    // Prepares "INSERT INTO [table] ([c1], ...) VALUES (?, ...)". Throws DataError.
    BulkInsert(SqliteFile &file, const char *table, std::initializer_list<const char *> columns);

    // Values for the next row, in column order. Text is not copied: it must stay alive and
    // unchanged until row() has run.
    BulkInsert &text(std::string_view value);
    BulkInsert &integer(std::int64_t value);
    BulkInsert &money(double value);
    // Writes the row and readies the statement for the next one. Throws DataError.
    void row();
    std::int64_t rows() const { return rows_; }

private:
    SqliteStatement insert_;
    int next_ = 1;
    std::int64_t rows_ = 0;
};
