// The generator's reusable INSERT statement.
#include "bulkinsert.h"

#include "dataerror.h"

#include <sqlite3.h>

BulkInsert::BulkInsert(sqlite3 *db, const char *table, std::initializer_list<const char *> columns)
    : db_(db), table_(table) {
    std::string names, marks;
    for (const char *column : columns) {
        names += names.empty() ? "[" : ", [";
        names += column;
        names += "]";
        marks += marks.empty() ? "?" : ", ?";
    }
    const std::string sql = "INSERT INTO [" + table_ + "] (" + names + ") VALUES (" + marks + ")";
    if (sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr) !=
        SQLITE_OK)
        throw DataError(QString("Cannot prepare the rows of %1: %2")
                            .arg(QString::fromStdString(table_), sqlite3_errmsg(db_)));
}

BulkInsert::~BulkInsert() {
    sqlite3_finalize(stmt_);
}

BulkInsert &BulkInsert::text(std::string_view value) {
    sqlite3_bind_text(stmt_, next_++, value.data(), static_cast<int>(value.size()), SQLITE_STATIC);
    return *this;
}

BulkInsert &BulkInsert::integer(std::int64_t value) {
    sqlite3_bind_int64(stmt_, next_++, value);
    return *this;
}

BulkInsert &BulkInsert::money(double value) {
    sqlite3_bind_double(stmt_, next_++, value);
    return *this;
}

BulkInsert &BulkInsert::null() {
    sqlite3_bind_null(stmt_, next_++);
    return *this;
}

void BulkInsert::row() {
    const int rc = sqlite3_step(stmt_);
    sqlite3_reset(stmt_);
    next_ = 1;
    if (rc != SQLITE_DONE)
        throw DataError(QString("Cannot write a row of %1: %2")
                            .arg(QString::fromStdString(table_), sqlite3_errmsg(db_)));
    ++rows_;
}
