// The floor every benchmark is measured against: the same work done straight through the
// SQLite C API on a connection set up like the screens' (read-write, synchronous=FULL), with
// statements prepared once and reused.
#pragma once

#include <QString>
#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

class RawShop {
public:
    using Value = std::variant<std::int64_t, double, std::string>;
    struct Read {
        std::int64_t rows = 0;
        double total = 0;           // sum of price × quantity when asked for
        std::uint64_t checksum = 0; // of every cell read, so that no read can be skipped
    };

    explicit RawShop(const QString &path);
    ~RawShop();
    RawShop(const RawShop &) = delete;
    RawShop &operator=(const RawShop &) = delete;

    // Steps through every row (or the first maxRows of them, as a record set that read a
    // screenful of the same query), reading every column the way a record set takes it in;
    // priceColumn and qtyColumn (0-based, -1 for none) also total price × quantity.
    Read read(const std::string &sql, const std::vector<Value> &params = {}, int priceColumn = -1,
              int qtyColumn = -1, std::int64_t maxRows = -1);
    // Runs a statement that returns no rows; returns the rows it changed.
    int run(const std::string &sql, const std::vector<Value> &params = {});
    // The first column of the first row, as a number or text.
    std::int64_t integer(const std::string &sql, const std::vector<Value> &params = {});
    std::string text(const std::string &sql, const std::vector<Value> &params = {});
    // Every row of a query, each cell as text ("" for null).
    std::vector<std::vector<std::string>> texts(const std::string &sql,
                                                const std::vector<Value> &params = {});
    sqlite3 *handle() const { return db_; }

private:
    sqlite3_stmt *statement(const std::string &sql, const std::vector<Value> &params);
    [[noreturn]] void fail(const std::string &sql) const;

    sqlite3 *db_ = nullptr;
    std::map<std::string, sqlite3_stmt *> statements_;
};
