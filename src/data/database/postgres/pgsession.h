// The one connection to a PostgreSQL server on libpq, for the program's server engine and the
// shop's tools alike: connecting with the session's settings, statements with text parameters,
// COPY in both directions, and every failure as a DataError.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

// As libpq-fe.h names them, so that this header does not bring libpq to its users.
typedef struct pg_conn PGconn;
typedef struct pg_result PGresult;

namespace pgtool {

// A server setting of a session and its value: {"DateStyle", "ISO"}.
using Setting = std::pair<QByteArray, QByteArray>;

// The rows of one statement, all read into memory, or the server's failure.
class Result {
public:
    explicit Result(PGresult *result = nullptr);
    explicit operator bool() const { return result_ != nullptr; }
    // A command that ran, or rows; false for a failure (or no result at all).
    bool ok() const;
    int rows() const;
    int columns() const;
    // The rows the command changed.
    int changed() const;
    bool isNull(int row, int column) const;
    // The value as the server writes it; a null QString for NULL.
    QString text(int row, int column) const;
    QByteArray bytes(int row, int column) const;
    PGresult *raw() const { return result_.get(); }
    void reset(PGresult *result = nullptr) { result_.reset(result); }

private:
    std::unique_ptr<PGresult, void (*)(PGresult *)> result_;
};

class Session {
public:
    // Connects with a libpq connection string or service name ("service=shop") as a tool
    // does, waiting for locks and statements as long as its work takes; throws DataError
    // naming the server when it cannot.
    explicit Session(const QString &conninfo);
    // Connects with the session's settings sent along with the request to connect (a round
    // trip saved), or SET right after when the connection string names server options of its
    // own; either way they win over the login's defaults. Either constructor gives up on a
    // server that does not answer for ten seconds. Throws DataError of kind ConnectionLost
    // whose sentence is libpq's reason.
    Session(const QString &conninfo, const std::vector<Setting> &settings);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    // "database shop on backoffice" (or on the socket folder): for the tools' messages.
    QString describe() const;
    PGconn *raw() const { return conn_; }
    // Whether the connection is open, outside any transaction and no result is coming.
    bool idle() const;
    // Whether the server has closed the connection, which was at rest: whatever the server
    // sends a connection at rest is its last word before it closes it (a backend ended, a
    // shutdown), and the close, a moment behind, is waited for up to `patienceMs`.
    bool closedAtRest(int patienceMs);

    // Runs one statement (or several without parameters); throws DataError on failure.
    Result exec(const QString &sql);
    // One statement with text parameters $1, $2, ...; a null QString is NULL.
    Result exec(const QString &sql, const QStringList &params);
    // The first value of the first row (a null QString for none).
    QString scalar(const QString &sql, const QStringList &params = {});
    // Runs statements without parameters and hands back the last result, failed or not.
    Result run(const QByteArray &sql);

    // COPY ... FROM STDIN: `fill` is called with a buffer to append rows to in the COPY text
    // format, and returns false when it has no more; the buffer is sent each time it is full.
    void copyIn(const QString &sql, const std::function<bool(QByteArray &buffer)> &fill);
    // COPY ... TO STDOUT: `row` gets each line (without its end of line) in the text format.
    void copyOut(const QString &sql, const std::function<void(const char *line, int size)> &row);

    // "SET a = 'x'; SET b = 'y'": the settings as statements.
    static QByteArray setStatements(const std::vector<Setting> &settings);

private:
    void connect(const QString &conninfo, const std::vector<Setting> &settings);
    [[noreturn]] void fail(const QString &what) const;
    // Reads the results of a COPY to its end; throws when the server refused it.
    void finishCommand(const QString &sql);
    Result checked(Result result, const QString &sql);

    PGconn *conn_ = nullptr;
    // The server said its last word (a FATAL message) while no statement was under way.
    bool lastWord_ = false;
};

// A name as SQL takes it: "invoice no".
QString quoteIdent(const QString &name);
// A text as SQL takes it, for the few statements that take no parameters: 'O''Hara'.
QString quoteLiteral(const QString &text);

} // namespace pgtool
