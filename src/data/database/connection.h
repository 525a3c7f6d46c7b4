// RAII owner of one connection to the shop database (a SQLite file or a PostgreSQL server)
// and of its statements. The program's statements are built (sqlbuilder.h) and the shop's
// dialect renders them; SQL written as text takes SQLite's form ([bracketed names], ?
// parameters), read by the dialect where it is prepared.
#pragma once

#include "keptbytext.h"
#include "shopdatabase.h"
#include "sqlbuilder.h"
#include "sqldialect.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

class CellSink;
class ConnectionEngine;
class Statement;
class StatementEngine;
struct EngineTraits;
struct TableColumn;

class Connection {
public:
    // Takes over an engine open on the shop; ShopDatabase::connect opens one.
    Connection(ShopDatabase shop, std::unique_ptr<ConnectionEngine> engine);
    ~Connection();
    Connection(Connection &&other) noexcept;
    Connection &operator=(Connection &&other) noexcept;
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // SQL written as text is read into the engine's once per text (at most 64 texts kept).
    Statement prepare(const QString &sql);
    Statement prepare(const sqlb::Statement &statement);
    // A statement the dialect gave in the engine's own SQL.
    Statement prepare(const EngineSql &sql);
    // Runs one or more statements without results.
    void exec(const QString &sql);
    void exec(const sqlb::Statement &statement);
    void exec(const EngineSql &sql);
    // Runs a query and returns the first column of its first row (invalid when no row).
    QVariant scalar(const QString &sql, const QVariantList &params = {});
    QVariant scalar(const sqlb::Statement &statement, const QVariantList &params = {});
    // Runs a one-off INSERT, UPDATE or DELETE and returns how many rows it changed.
    int write(const QString &sql, const QVariantList &params = {});
    int write(const sqlb::Statement &statement, const QVariantList &params = {});
    // The built statements whose engine's text the connection keeps, at most 64: a till
    // sends the same few over and over.
    int keptStatements() const { return static_cast<int>(kept_.size()); }
    // The texts whose engine's SQL it keeps, statements and record sources, at most 64 of each.
    int keptTexts() const { return static_cast<int>(statements_.size() + recordSources_.size()); }
    // A record-source text in the engine's SQL (SqlDialect::recordSource), read once per text
    // and number of values (at most 64 kept). Throws DataError for a text it cannot take.
    std::shared_ptr<const RecordSourceSql> recordSource(const QString &text, int values = 0);
    // Rows changed by the last INSERT, UPDATE or DELETE.
    int changes() const;
    const ShopDatabase &shop() const { return shop_; }
    const SqlDialect &dialect() const;
    EngineTraits traits() const;
    // The table's columns in their order, from the engine's catalogue; empty when the shop
    // has no such table.
    std::vector<TableColumn> columnsOf(const QString &table);
    // Transactions committed on this connection (for the benchmarks).
    qint64 commits() const;

    void begin();
    void commit();
    void rollback() noexcept;

private:
    ShopDatabase shop_;
    std::unique_ptr<ConnectionEngine> engine_;
    std::vector<std::pair<sqlb::Statement, EngineSql>> kept_; // the last used last
    static constexpr std::size_t textsKept = 64;
    KeptByText<EngineSql> statements_{textsKept};
    KeptByText<std::shared_ptr<const RecordSourceSql>> recordSources_{textsKept};
};

// A prepared statement; moves, never copies. Values bind by 1-based index.
class Statement {
public:
    explicit Statement(std::unique_ptr<StatementEngine> engine);
    Statement(Statement &&other) noexcept;
    Statement &operator=(Statement &&other) noexcept;
    ~Statement();

    void bind(int index, const QVariant &value);
    void bindAll(const QVariantList &values);
    // Binds the values, steps once and resets: a write run again with each row's values.
    void run(const QVariantList &values);
    // Steps once; true while a row is available. Throws DataError on failure.
    bool step();
    void reset();
    int columnCount() const;
    QVariant value(int column) const;
    // The current row's cells from column `from` on, into the sink (engine.h).
    void readCells(int from, CellSink &sink) const;

private:
    std::unique_ptr<StatementEngine> engine_;
};

// Scope guard: begins a transaction that takes the write lock at once, rolls it back unless
// commit() was called.
class Transaction {
public:
    explicit Transaction(Connection &connection);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

private:
    Connection &conn_;
    bool done_ = false;
};
