// The PostgreSQL engine's connection and statement (with the rows it reads ahead), and what its
// driver keeps of a shop: a shop on a server that several tills share. Statements are sent with
// their parameters as text and their rows come one at a time, so that a large result shows its
// first screenful at once; while a result is still coming no other statement can be sent on the
// connection, so such a result is read to its end first.
#pragma once

#include "connectionsettings.h"
#include "driver.h"
#include "engine.h"
#include "idlepool.h"
#include "pgdialect.h"
#include "pgsession.h"

#include <QHash>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <libpq-fe.h>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class ShopDatabase;

// What the server's driver keeps of one shop while the program has it open, for every copy of
// its ShopDatabase: the connections of its closed screens, for the next screens to take (a new
// connection is a new server process, 3 to 10 ms of a screen's opening), and its tables'
// columns as the catalogue gave them (a round trip per record set otherwise).
class SessionPool {
public:
    // A kept connection, made a clean session with these settings (whatever the screen before
    // set, prepared, opened, locked or left in temporary tables is gone); none when none is
    // kept or none comes through its reset.
    std::unique_ptr<pgtool::Session> take(const std::vector<pgtool::Setting> &settings);
    // Keeps an idle connection a few minutes at most (idlepool.h).
    void put(std::unique_ptr<pgtool::Session> session);
    void clear() { idle_.clear(); }
    std::size_t size() const { return idle_.size(); }

private:
    IdlePool<std::unique_ptr<pgtool::Session>> idle_;
};

class ServerShopState : public ShopState {
public:
    void closeIdle() override { sessions.clear(); }
    std::size_t idleCount() const override { return sessions.size(); }

    SessionPool sessions;
    // A table's columns as a connection of the shop read them; none when not read yet.
    std::optional<std::vector<TableColumn>> columnsOf(const QString &table) const;
    // Kept unless there are none (a table made later is looked for again).
    void keepColumns(const QString &table, const std::vector<TableColumn> &columns);

private:
    mutable std::mutex mutex_;
    QHash<QString, std::vector<TableColumn>> columns_; // by the lower-case name
};

// Rows of a server's result read ahead of the steps, packed: a statement must read the rest of
// its result before another can be sent on the connection, and kept as libpq's one result per
// row the rest of every sale took some 3 KB a row (gigabytes) where a record set keeps about
// 90 bytes. Here a row costs its text and 5 bytes a cell, and is let go once stepped past.
class ServerRowSpool {
public:
    // Appends the row of a single-row result.
    void add(const pg_result *row);
    bool empty() const { return rows_ == 0; }
    // Makes the next row current; false when none is left.
    bool next(int columns);
    // A cell of the current row: its text with a closing zero, or null for an SQL null.
    const char *cell(int column, int &length) const;
    void clear();

private:
    // Per cell its length (-1: null) and its text with a closing zero, rows back to back in
    // chunks; a row never spans two chunks, so that no chunk moves while its row is read.
    std::deque<std::string> chunks_;
    std::size_t rows_ = 0; // not yet made current
    std::size_t next_ = 0; // where the next row starts in the first chunk
    const char *current_ = nullptr;
};

namespace server {

using pgtool::Result;

class ServerStatement;

// The type of a column as the shop's schema declares it ("INTEGER", "MONEY", ...), from the
// server's type.
QString declaredTypeOf(Oid type);

class ServerConnection : public ConnectionEngine {
public:
    // Takes a connection one of the shop's closed screens left, made a clean session, or
    // opens a new one.
    explicit ServerConnection(const ShopDatabase &shop);
    // Leaves an idle, sound connection to the shop's next screen.
    ~ServerConnection() override;
    std::unique_ptr<StatementEngine> prepare(const EngineSql &sql) override;
    void exec(const EngineSql &sql) override;
    void begin() override;
    void commit() override;
    void rollback() noexcept override;
    int changes() const override { return changes_; }
    // Read from the catalogue once per shop.
    std::vector<TableColumn> columnsOf(const QString &table) override;
    EngineTraits traits() const override { return {true}; }
    qint64 commits() const override { return commits_; }

    // Before a statement is sent: the result still coming is read to its end, and a
    // connection the server dropped is opened again (never inside a transaction, whose work
    // went with it).
    PGconn *claim(ServerStatement *statement);
    void release(ServerStatement *statement) {
        if (streaming_ == statement)
            streaming_ = nullptr;
    }
    // The connection as it is, for reading a result already sent.
    PGconn *raw() const { return session_->raw(); }
    void setChanges(int changes) { changes_ = changes; }
    // The connection was lost (the failure of the statement's first result says so) and a
    // read outside any transaction may be sent once more.
    bool reopenForRead(const PGresult *failure);
    // The operator's text for a failed result (or a failure of the connection itself).
    [[noreturn]] void fail(const PGresult *result, bool committing = false);

private:
    // Whether statements can still be sent: libpq may report a connection the server closed
    // as still open, until something else is sent on it.
    bool connected() const { return !dropped_ && PQstatus(raw()) == CONNECTION_OK; }
    // A new connection; `opening`: the first, before any work was sent.
    void connect(bool opening = false);
    // The settings of every session: names and values.
    std::vector<pgtool::Setting> sessionSettings() const;
    void run(const QByteArray &sql, bool committing = false);

    std::shared_ptr<ServerShopState> shop_;
    QString location_;
    ConnectionSettings settings_;
    QString serverName_;
    std::unique_ptr<pgtool::Session> session_;
    ServerStatement *streaming_ = nullptr;
    bool dropped_ = false; // a failure said the connection is gone
    int changes_ = 0;
    bool transactionOpen_ = false;
    qint64 commits_ = 0;
};

class ServerStatement : public StatementEngine {
public:
    ServerStatement(ServerConnection &connection, EngineSql sql)
        : conn_(connection), sql_(std::move(sql)), utf8_(sql_.sql.toUtf8()) {}
    ~ServerStatement() override { stop(); }
    void bind(int index, const QVariant &value) override;
    bool step() override;
    void reset() override {
        stop();
        params_.clear();
        types_.clear();
    }
    int columnCount() override {
        start();
        return description_ ? PQnfields(description_.raw()) : 0;
    }
    QVariant value(int column) const override;
    void readCells(int from, CellSink &sink) const override;

    // Reads the rest of the result into memory, freeing the connection.
    void readRest();

private:
    enum class State { Ready, Streaming, Read, Done };
    // Sends the statement (once) and waits for its first result, so that its columns are
    // known before the first step.
    void start();
    // The next result of the statement, from the connection or from what was read ahead.
    Result next();
    void finish(Result result);
    void stop();

    ServerConnection &conn_;
    EngineSql sql_;
    QByteArray utf8_;
    std::vector<std::optional<QByteArray>> params_;
    std::vector<Oid> types_;
    State state_ = State::Ready;
    Result description_; // the columns of the result (no rows)
    Result row_;         // the current row
    Result peeked_;      // the first result, read to learn the columns
    std::deque<Result> readAhead_;
    ServerRowSpool spool_; // the rest of the rows, read ahead to free the connection
    bool spooled_ = false; // the current row came from the spool
    // A cell of the current row into the sink, from the server's text.
    void readCell(int column, CellSink &sink) const;
};

} // namespace server
