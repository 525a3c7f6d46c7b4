// The PostgreSQL engine's connection and statement, shared by their two source files: a shop
// on a server that several tills share. Statements are sent with their parameters as text and
// their rows come one at a time, so that a large result shows its first screenful at once;
// while a result is still coming no other statement can be sent on the connection, so such a
// result is read to its end first.
#pragma once

#include "connectionsettings.h"
#include "engine.h"
#include "pgdialect.h"
#include "pgsession.h"
#include "serverrowspool.h"

#include <deque>
#include <libpq-fe.h>
#include <memory>
#include <optional>
#include <vector>

class ServerShopState;
class ShopDatabase;

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
    bool isRead() const { return sql_.isRead; }

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
