// The libpq connection: connecting with the session's settings, statements, COPY, and
// failures as DataErrors.
#include "pgsession.h"

#include "pglocation.h"
#include "servererrors.h"

#include <QDeadlineTimer>
#include <algorithm>
#include <cstdlib>
#include <exception>
#include <libpq-fe.h>
#include <poll.h>

namespace pgtool {

Result::Result(PGresult *result) : result_(result, &PQclear) {}

bool Result::ok() const {
    const ExecStatusType status = PQresultStatus(raw());
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

int Result::rows() const {
    return PQntuples(raw());
}

int Result::columns() const {
    return PQnfields(raw());
}

int Result::changed() const {
    return std::atoi(PQcmdTuples(raw()));
}

bool Result::isNull(int row, int column) const {
    return PQgetisnull(raw(), row, column) != 0;
}

QString Result::text(int row, int column) const {
    if (isNull(row, column))
        return QString();
    return QString::fromUtf8(PQgetvalue(raw(), row, column), PQgetlength(raw(), row, column));
}

QByteArray Result::bytes(int row, int column) const {
    return QByteArray(PQgetvalue(raw(), row, column), PQgetlength(raw(), row, column));
}

namespace {

// Dates and times travel as the file keeps them, numbers whole. A tool waits for what it
// needs as long as it takes, whatever the login's defaults say.
const std::vector<Setting> toolSettings{{"DateStyle", "ISO, YMD"},
                                        {"IntervalStyle", "postgres"},
                                        {"extra_float_digits", "3"},
                                        {"lock_timeout", "0"},
                                        {"statement_timeout", "0"}};

// A value as the server's command-line options take it: blanks and backslashes escaped.
QByteArray optionValue(QByteArray value) {
    return value.replace('\\', "\\\\").replace(' ', "\\ ");
}

} // namespace

Session::Session(const QString &conninfo) {
    try {
        connect(conninfo, toolSettings);
    } catch (const DataError &error) {
        throw pgerrors::cannotConnect(conninfo, error.sentence());
    }
}

Session::Session(const QString &conninfo, const std::vector<Setting> &settings) {
    connect(conninfo, settings);
}

void Session::connect(const QString &conninfo, const std::vector<Setting> &settings) {
    // Server options the connection string names itself would replace these: then they are
    // SET once connected.
    const auto given = pglocation::settingsOf(conninfo);
    const bool ownOptions = given && std::any_of(given->begin(), given->end(), [](const auto &s) {
                                return s.first == "options";
                            });
    QByteArray options;
    for (const auto &[name, value] : settings)
        options += " -c " + name + '=' + optionValue(value);
    // The connection string comes last and wins; an empty value counts as none.
    const QByteArray string = conninfo.toUtf8();
    const char *ours = ownOptions ? "" : options.constData();
    // A server that does not answer is given up after ten seconds, also once connected (a
    // kept connection to a server that went away while the program stood idle, say).
    const char *keywords[] = {"connect_timeout",
                              "tcp_user_timeout",
                              "fallback_application_name",
                              "client_encoding",
                              "options",
                              "dbname",
                              nullptr};
    const char *values[] = {"10", "10000", "Quillmart", "UTF8", ours, string.constData(), nullptr};
    conn_ = PQconnectdbParams(keywords, values, 1);
    if (PQstatus(conn_) != CONNECTION_OK || (ownOptions && !run(setStatements(settings)).ok())) {
        const QString why = QString::fromUtf8(PQerrorMessage(conn_)).trimmed();
        PQfinish(conn_);
        conn_ = nullptr;
        throw DataError(DataError::Kind::ConnectionLost, why);
    }
    // A message of the server's while no statement is under way comes as a notice: libpq's
    // own receiver still prints it, and the last one before a close is noted.
    static const PQnoticeReceiver printing = PQsetNoticeReceiver(conn_, nullptr, nullptr);
    PQsetNoticeReceiver(
        conn_,
        [](void *session, const PGresult *notice) {
            const char *severity = PQresultErrorField(notice, PG_DIAG_SEVERITY_NONLOCALIZED);
            if (severity != nullptr &&
                (qstrcmp(severity, "FATAL") == 0 || qstrcmp(severity, "PANIC") == 0))
                static_cast<Session *>(session)->lastWord_ = true;
            if (printing != nullptr)
                printing(nullptr, notice);
        },
        this);
}

Session::~Session() {
    if (conn_)
        PQfinish(conn_);
}

QByteArray Session::setStatements(const std::vector<Setting> &settings) {
    QByteArrayList statements;
    for (const auto &[name, value] : settings)
        statements << "SET " + name + " = '" + QByteArray(value).replace('\'', "''") + '\'';
    return statements.join("; ");
}

QString Session::describe() const {
    const QString host = QString::fromUtf8(PQhost(conn_));
    return QString("database %1 on %2")
        .arg(QString::fromUtf8(PQdb(conn_)), host.isEmpty() ? QString("localhost") : host);
}

bool Session::idle() const {
    return PQstatus(conn_) == CONNECTION_OK && PQtransactionStatus(conn_) == PQTRANS_IDLE;
}

bool Session::closedAtRest(int patienceMs) {
    // What came is read and taken in (a last word reaches the notice receiver); after a last
    // word, the close is waited for.
    const QDeadlineTimer patience(patienceMs);
    pollfd socket{PQsocket(conn_), POLLIN, 0};
    while (PQstatus(conn_) == CONNECTION_OK && !PQisBusy(conn_) &&
           ::poll(&socket, 1, lastWord_ ? static_cast<int>(patience.remainingTime()) : 0) > 0)
        PQconsumeInput(conn_);
    return PQstatus(conn_) != CONNECTION_OK;
}

void Session::fail(const QString &what) const {
    throw pgerrors::toolFailure(what, describe(),
                                QString::fromUtf8(PQerrorMessage(conn_)).trimmed());
}

Result Session::checked(Result result, const QString &sql) {
    if (!result.ok())
        fail(pgerrors::refused(sql));
    return result;
}

Result Session::run(const QByteArray &sql) {
    return Result(PQexec(conn_, sql.constData()));
}

Result Session::exec(const QString &sql) {
    return checked(run(sql.toUtf8()), sql);
}

Result Session::exec(const QString &sql, const QStringList &params) {
    std::vector<QByteArray> texts;
    texts.reserve(params.size());
    std::vector<const char *> values;
    for (const QString &param : params) {
        texts.push_back(param.toUtf8());
        values.push_back(param.isNull() ? nullptr : texts.back().constData());
    }
    return checked(Result(PQexecParams(conn_, sql.toUtf8().constData(), int(values.size()), nullptr,
                                       values.data(), nullptr, nullptr, 0)),
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
        fail(pgerrors::refused(sql));
}

void Session::copyIn(const QString &sql, const std::function<bool(QByteArray &buffer)> &fill) {
    if (PQresultStatus(run(sql.toUtf8()).raw()) != PGRES_COPY_IN)
        fail(pgerrors::refused(sql));
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
    if (PQresultStatus(run(sql.toUtf8()).raw()) != PGRES_COPY_OUT)
        fail(pgerrors::refused(sql));
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
