// The tools' libpq connection: statements, COPY, and messages that say which server failed.
#include "pgsession.h"

#include "dataerror.h"

#include <cstring>
#include <exception>
#include <vector>

namespace pgtool {

QString Result::text(int row, int column) const {
    if (isNull(row, column))
        return QString();
    return QString::fromUtf8(PQgetvalue(result_.get(), row, column),
                             PQgetlength(result_.get(), row, column));
}

QByteArray Result::bytes(int row, int column) const {
    return QByteArray(PQgetvalue(result_.get(), row, column),
                      PQgetlength(result_.get(), row, column));
}

namespace {

// The connection string as the operator may see it: every setting given but the password.
QString shownConninfo(const QString &conninfo) {
    PQconninfoOption *options = PQconninfoParse(conninfo.toUtf8().constData(), nullptr);
    if (!options)
        return QString("(not a connection string)");
    QStringList given;
    for (PQconninfoOption *option = options; option->keyword; ++option) {
        if (option->val && *option->val && std::strcmp(option->keyword, "password") != 0)
            given << QString("%1=%2").arg(option->keyword, QString::fromUtf8(option->val));
    }
    PQconninfoFree(options);
    return given.join(' ');
}

} // namespace

Session::Session(const QString &conninfo) {
    conn_ = PQconnectdb(conninfo.toUtf8().constData());
    if (PQstatus(conn_) != CONNECTION_OK) {
        const QString why = QString::fromUtf8(PQerrorMessage(conn_)).trimmed();
        PQfinish(conn_);
        conn_ = nullptr;
        throw DataError(QString("Cannot connect to the server shop \"%1\": %2")
                            .arg(shownConninfo(conninfo), why));
    }
    // Dates and times travel as the file keeps them; names and texts as UTF-8. A tool waits
    // for what it needs as long as it takes, whatever the login's defaults say.
    exec("SET client_encoding = 'UTF8'; SET datestyle = 'ISO, YMD'; "
         "SET intervalstyle = 'postgres'; SET extra_float_digits = 3; "
         "SET lock_timeout = 0; SET statement_timeout = 0");
}

Session::~Session() {
    if (conn_)
        PQfinish(conn_);
}

QString Session::describe() const {
    const QString host = QString::fromUtf8(PQhost(conn_));
    return QString("database %1 on %2")
        .arg(QString::fromUtf8(PQdb(conn_)), host.isEmpty() ? QString("localhost") : host);
}

void Session::fail(const QString &what) const {
    throw DataError(QString("%1 (%2): %3")
                        .arg(what, describe(), QString::fromUtf8(PQerrorMessage(conn_)).trimmed()));
}

Result Session::checked(PGresult *raw, const QString &sql) {
    Result result(raw);
    const ExecStatusType status = raw ? PQresultStatus(raw) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        const QString statement = sql.simplified();
        fail(QString("The server refused \"%1\"")
                 .arg(statement.size() > 80 ? statement.left(80) + "..." : statement));
    }
    return result;
}

Result Session::exec(const QString &sql) {
    return checked(PQexec(conn_, sql.toUtf8().constData()), sql);
}

Result Session::exec(const QString &sql, const QStringList &params) {
    std::vector<QByteArray> texts;
    texts.reserve(params.size());
    std::vector<const char *> values;
    for (const QString &param : params) {
        texts.push_back(param.toUtf8());
        values.push_back(param.isNull() ? nullptr : texts.back().constData());
    }
    return checked(PQexecParams(conn_, sql.toUtf8().constData(), int(values.size()), nullptr,
                                values.data(), nullptr, nullptr, 0),
                   sql);
}

QString Session::scalar(const QString &sql, const QStringList &params) {
    const Result result = params.isEmpty() ? exec(sql) : exec(sql, params);
    return result.rows() > 0 && result.columns() > 0 ? result.text(0, 0) : QString();
}

void Session::finishCommand(const QString &sql) {
    bool failed = false;
    while (PGresult *raw = PQgetResult(conn_)) {
        failed = failed || PQresultStatus(raw) != PGRES_COMMAND_OK;
        PQclear(raw);
    }
    if (failed)
        fail(QString("The server refused \"%1\"").arg(sql.left(80)));
}

void Session::copyIn(const QString &sql, const std::function<bool(QByteArray &buffer)> &fill) {
    const Result start(PQexec(conn_, sql.toUtf8().constData()));
    if (PQresultStatus(start.raw()) != PGRES_COPY_IN)
        fail(QString("The server refused \"%1\"").arg(sql.left(80)));
    QByteArray buffer;
    buffer.reserve(1 << 20);
    try {
        for (bool more = true; more;) {
            buffer.clear();
            more = fill(buffer);
            if (!buffer.isEmpty() && PQputCopyData(conn_, buffer.constData(), buffer.size()) != 1)
                fail("Cannot send the rows to the server");
        }
    } catch (...) {
        // The server throws away what it got of this COPY; the caller's transaction is lost.
        PQputCopyEnd(conn_, "stopped by the tool");
        while (PGresult *raw = PQgetResult(conn_))
            PQclear(raw);
        throw;
    }
    if (PQputCopyEnd(conn_, nullptr) != 1)
        fail("Cannot send the rows to the server");
    finishCommand(sql);
}

void Session::copyOut(const QString &sql, const std::function<void(const char *, int)> &row) {
    const Result start(PQexec(conn_, sql.toUtf8().constData()));
    if (PQresultStatus(start.raw()) != PGRES_COPY_OUT)
        fail(QString("The server refused \"%1\"").arg(sql.left(80)));
    char *line = nullptr;
    int size = 0;
    bool stopped = false;
    std::exception_ptr error;
    while ((size = PQgetCopyData(conn_, &line, 0)) > 0) {
        if (!stopped) {
            try {
                row(line, line[size - 1] == '\n' ? size - 1 : size);
            } catch (...) {
                // Read to the end all the same, so that the connection is usable after.
                error = std::current_exception();
                stopped = true;
            }
        }
        PQfreemem(line);
    }
    if (size == -2)
        fail("The rows from the server stopped");
    finishCommand(sql);
    if (error)
        std::rethrow_exception(error);
}

QString quoteIdent(const QString &name) {
    return '"' + QString(name).replace('"', "\"\"") + '"';
}

QString quoteLiteral(const QString &text) {
    return '\'' + QString(text).replace('\'', "''") + '\'';
}

} // namespace pgtool
