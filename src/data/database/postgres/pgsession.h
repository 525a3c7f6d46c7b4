// A connection to a PostgreSQL server for the shop's tools, straight on libpq: statements with
// text parameters, COPY in both directions, and every failure as a DataError that names the
// server.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <libpq-fe.h>
#include <memory>

namespace pgtool {

// The rows of one statement, all read into memory: for the tools' small queries.
class Result {
public:
    explicit Result(PGresult *result) : result_(result, &PQclear) {}
    int rows() const { return PQntuples(result_.get()); }
    int columns() const { return PQnfields(result_.get()); }
    bool isNull(int row, int column) const { return PQgetisnull(result_.get(), row, column) != 0; }
    // The value as the server writes it; a null QString for NULL.
    QString text(int row, int column) const;
    QByteArray bytes(int row, int column) const;
    PGresult *raw() const { return result_.get(); }

private:
    std::unique_ptr<PGresult, void (*)(PGresult *)> result_;
};

class Session {
public:
    // Connects with a libpq connection string or service name ("service=shop"); throws
    // DataError naming the server when it cannot.
    explicit Session(const QString &conninfo);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    // "database shop on backoffice" (or on the socket folder): for the operator's messages.
    QString describe() const;
    PGconn *raw() const { return conn_; }

    // Runs one statement (or several without parameters); throws DataError on failure.
    Result exec(const QString &sql);
    // One statement with text parameters $1, $2, ...; a null QString is NULL.
    Result exec(const QString &sql, const QStringList &params);
    // The first value of the first row (a null QString for none).
    QString scalar(const QString &sql, const QStringList &params = {});

    // COPY ... FROM STDIN: `fill` is called with a buffer to append rows to in the COPY text
    // format, and returns false when it has no more; the buffer is sent each time it is full.
    void copyIn(const QString &sql, const std::function<bool(QByteArray &buffer)> &fill);
    // COPY ... TO STDOUT: `row` gets each line (without its end of line) in the text format.
    void copyOut(const QString &sql, const std::function<void(const char *line, int size)> &row);

private:
    [[noreturn]] void fail(const QString &what) const;
    // Reads the results of a COPY to its end; throws when the server refused it.
    void finishCommand(const QString &sql);
    Result checked(PGresult *result, const QString &sql);

    PGconn *conn_ = nullptr;
};

// A name as SQL takes it: "invoice no".
QString quoteIdent(const QString &name);
// A text as SQL takes it, for the few statements that take no parameters: 'O''Hara'.
QString quoteLiteral(const QString &text);

} // namespace pgtool
