// RAII owner of one SQLite connection to the shop database, and of its prepared statements.
#pragma once

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

class Statement;

class Connection {
public:
    // Opens an existing database file read-write; never creates one. Throws DataError.
    explicit Connection(const QString &path);
    // How long a write waits for another program's write lock before the database is
    // reported busy: 15 s. Tests shorten it; connections opened afterwards use it.
    static void setBusyTimeout(int milliseconds);
    static int busyTimeout();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    Statement prepare(const QString &sql);
    // Runs one or more statements without results.
    void exec(const QString &sql);
    // Runs a query and returns the first column of its first row (invalid when no row).
    QVariant scalar(const QString &sql, const QVariantList &params = {});
    int changes() const;
    qint64 lastInsertRowid() const;
    bool inTransaction() const;
    QString path() const { return path_; }
    sqlite3 *handle() const { return db_; }

    // The engine's text for the connection's last error ("database is locked", ...).
    QString lastError() const;

private:
    sqlite3 *db_ = nullptr;
    QString path_;
};

// A prepared statement; moves, never copies. Values bind by 1-based index.
class Statement {
public:
    Statement(Connection &connection, sqlite3_stmt *stmt) : conn_(&connection), stmt_(stmt) {}
    Statement(Statement &&other) noexcept;
    Statement &operator=(Statement &&other) noexcept;
    ~Statement();

    void bind(int index, const QVariant &value);
    void bindAll(const QVariantList &values);
    // Steps once; true while a row is available. Throws DataError on failure.
    bool step();
    void reset();
    int columnCount() const;
    QString columnName(int column) const;
    QVariant value(int column) const;
    sqlite3_stmt *handle() const { return stmt_; }

private:
    Connection *conn_;
    sqlite3_stmt *stmt_;
};

// Scope guard: begins an immediate transaction, rolls it back unless commit() was called.
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
