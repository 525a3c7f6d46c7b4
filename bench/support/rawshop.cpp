// The raw-SQLite baseline connection and its reads and writes.
#include "rawshop.h"

#include "textorder.h"

#include <QFile>
#include <sqlite3.h>
#include <stdexcept>

RawShop::RawShop(const QString &path) {
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK)
        fail("open " + path.toStdString());
    sqlite3_busy_timeout(db_, 15000);
    // The same durability as the program's connections: a commit is on disk when it returns.
    if (sqlite3_exec(db_, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr) != SQLITE_OK)
        fail("PRAGMA synchronous=FULL");
    // The program's statements sort text in the shop's reading order; so do the baseline's.
    TextOrder::registerOn(db_);
}

RawShop::~RawShop() {
    for (auto &entry : statements_)
        sqlite3_finalize(entry.second);
    sqlite3_close_v2(db_);
}

void RawShop::fail(const std::string &sql) const {
    throw std::runtime_error(sql + ": " + (db_ ? sqlite3_errmsg(db_) : "out of memory"));
}

sqlite3_stmt *RawShop::statement(const std::string &sql, const std::vector<Value> &params) {
    sqlite3_stmt *&stmt = statements_[sql];
    if (stmt == nullptr && sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT,
                                              &stmt, nullptr) != SQLITE_OK)
        fail(sql);
    sqlite3_reset(stmt);
    for (std::size_t i = 0; i < params.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        const Value &value = params[i];
        if (const auto *whole = std::get_if<std::int64_t>(&value))
            sqlite3_bind_int64(stmt, index, *whole);
        else if (const auto *real = std::get_if<double>(&value))
            sqlite3_bind_double(stmt, index, *real);
        else {
            const std::string &text = std::get<std::string>(value);
            sqlite3_bind_text(stmt, index, text.data(), static_cast<int>(text.size()),
                              SQLITE_TRANSIENT);
        }
    }
    return stmt;
}

RawShop::Read RawShop::read(const std::string &sql, const std::vector<Value> &params,
                            int priceColumn, int qtyColumn, std::int64_t maxRows) {
    sqlite3_stmt *stmt = statement(sql, params);
    const int columns = sqlite3_column_count(stmt);
    Read result;
    int rc = SQLITE_DONE;
    while (result.rows != maxRows && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        ++result.rows;
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(stmt, c)) {
            case SQLITE_INTEGER:
                result.checksum += static_cast<std::uint64_t>(sqlite3_column_int64(stmt, c));
                break;
            case SQLITE_FLOAT:
                result.checksum += static_cast<std::uint64_t>(sqlite3_column_double(stmt, c));
                break;
            case SQLITE_NULL:
                break;
            default: {
                const unsigned char *text = sqlite3_column_text(stmt, c);
                const int bytes = sqlite3_column_bytes(stmt, c);
                result.checksum += static_cast<std::uint64_t>(bytes) + (bytes ? text[0] : 0);
            }
            }
        }
        if (priceColumn >= 0 && qtyColumn >= 0)
            result.total +=
                sqlite3_column_double(stmt, priceColumn) * sqlite3_column_double(stmt, qtyColumn);
    }
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        fail(sql);
    sqlite3_reset(stmt);
    return result;
}

int RawShop::run(const std::string &sql, const std::vector<Value> &params) {
    sqlite3_stmt *stmt = statement(sql, params);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        fail(sql);
    sqlite3_reset(stmt);
    return sqlite3_changes(db_);
}

std::int64_t RawShop::integer(const std::string &sql, const std::vector<Value> &params) {
    sqlite3_stmt *stmt = statement(sql, params);
    const std::int64_t value = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : 0;
    sqlite3_reset(stmt);
    return value;
}

std::string RawShop::text(const std::string &sql, const std::vector<Value> &params) {
    sqlite3_stmt *stmt = statement(sql, params);
    std::string value;
    if (sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_text(stmt, 0) != nullptr)
        value = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0));
    sqlite3_reset(stmt);
    return value;
}

std::vector<std::vector<std::string>> RawShop::texts(const std::string &sql,
                                                     const std::vector<Value> &params) {
    sqlite3_stmt *stmt = statement(sql, params);
    std::vector<std::vector<std::string>> rows;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        std::vector<std::string> row;
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            const unsigned char *text = sqlite3_column_text(stmt, c);
            row.emplace_back(text ? reinterpret_cast<const char *>(text) : "");
        }
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE)
        fail(sql);
    sqlite3_reset(stmt);
    return rows;
}
