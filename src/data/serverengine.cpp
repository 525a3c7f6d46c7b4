// The PostgreSQL engine: a shop on a server that several tills share. Statements are sent
// with their parameters as text and their rows come one at a time, so that a large result
// shows its first screenful at once; while a result is still coming no other statement can
// be sent on the connection, so such a result is read to its end first.
#include "connection.h"
#include "dataerror.h"
#include "engine.h"
#include "serverrowspool.h"
#include "serversql.h"
#include "shoplocation.h"

#include <QUuid>
#include <deque>
#include <libpq-fe.h>
#include <optional>
#include <vector>

namespace {

// Type OIDs of the server's built-in types (pg_type.dat); RowStore reads rows by them too.
constexpr Oid boolOid = 16, int8Oid = 20, int2Oid = 21, int4Oid = 23, float4Oid = 700,
              float8Oid = 701, numericOid = 1700, dateOid = 1082, timeOid = 1083;

// This program's tills share one name on the server: the top-sellers summary and the bill
// listing it builds are its own, whichever of its screens reads them.
const QByteArray &tillName() {
    static const QByteArray name = QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
    return name;
}

struct ResultDeleter {
    void operator()(PGresult *result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

class ServerStatement;

// Whether a failed result says the connection is gone: an error of the server's own saying so
// (class 08, or 57P: shut down, terminated), or one without the SQLSTATE every error of the
// server has, which libpq made itself ("server closed the connection unexpectedly").
bool connectionEnded(const PGresult *failure) {
    const char *state =
        failure != nullptr ? PQresultErrorField(failure, PG_DIAG_SQLSTATE) : nullptr;
    return state == nullptr || qstrncmp(state, "08", 2) == 0 || qstrncmp(state, "57P", 3) == 0;
}

class ServerConnection : public ConnectionEngine {
public:
    explicit ServerConnection(const QString &location);
    ~ServerConnection() override;
    std::unique_ptr<StatementEngine> prepare(const QString &sql) override;
    void exec(const QString &sql) override;
    void begin() override;
    void commit() override;
    void rollback() noexcept override;
    int changes() const override { return changes_; }
    bool inTransaction() const override {
        return connected() && PQtransactionStatus(conn_) != PQTRANS_IDLE &&
               PQtransactionStatus(conn_) != PQTRANS_UNKNOWN;
    }
    QString lastError() const override { return lastError_; }

    // Before a statement is sent: the result still coming is read to its end, and a
    // connection the server dropped is opened again (never inside a transaction, whose work
    // went with it).
    PGconn *claim(ServerStatement *statement);
    void release(ServerStatement *statement) {
        if (streaming_ == statement)
            streaming_ = nullptr;
    }
    // The connection as it is, for reading a result already sent.
    PGconn *raw() const { return conn_; }
    void setChanges(int changes) { changes_ = changes; }
    bool transactionOpen() const { return transactionOpen_; }
    // The connection was lost (the failure of the statement's first result says so) and a
    // read outside any transaction may be sent once more.
    bool reopenForRead(const PGresult *failure);
    // The operator's text for a failed result (or a failure of the connection itself).
    [[noreturn]] void fail(const PGresult *result, bool committing = false);

private:
    // Whether statements can still be sent: libpq may report a connection the server closed
    // as still open, until something else is sent on it.
    bool connected() const { return !dropped_ && PQstatus(conn_) == CONNECTION_OK; }
    void connect();
    void setUp();
    void run(const QByteArray &sql, bool committing = false);

    QString location_;
    QString serverName_;
    PGconn *conn_ = nullptr;
    ServerStatement *streaming_ = nullptr;
    bool dropped_ = false; // a failure said the connection is gone
    int changes_ = 0;
    bool transactionOpen_ = false;
    QString lastError_;
};

class ServerStatement : public StatementEngine {
public:
    ServerStatement(ServerConnection &connection, ServerSql sql)
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
        return description_ ? PQnfields(description_.get()) : 0;
    }
    QString columnName(int column) override;
    QVariant value(int column) const override;
    QString declaredType(int column) override;
    // A table's list of columns names them as the shop does, not as the server sends them.
    const pg_result *serverRow() const override { return sql_.columnList ? nullptr : row_.get(); }

    // Reads the rest of the result into memory, freeing the connection.
    void readRest();
    bool isRead() const { return sql_.columnList || utf8_.trimmed().left(6).toLower() == "select"; }

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
    ServerSql sql_;
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
    QVariant cell(const char *text, int length, int column) const;
    Result failure_; // an error read ahead, thrown when the steps reach it
};

// -- connection ------------------------------------------------------------------------------

ServerConnection::ServerConnection(const QString &location) : location_(location) {
    serverName_ = shoplocation::describe(location);
    connect();
}

ServerConnection::~ServerConnection() {
    if (conn_ != nullptr)
        PQfinish(conn_);
}

void ServerConnection::connect() {
    const QByteArray settings = shoplocation::connectionString(location_).toUtf8();
    // The shop's own settings come last and win; a server that does not answer is given
    // up after ten seconds rather than hanging the till.
    const char *keywords[] = {"connect_timeout", "fallback_application_name", "dbname", nullptr};
    const char *values[] = {"10", "Quillmart", settings.constData(), nullptr};
    if (conn_ != nullptr)
        PQfinish(conn_);
    conn_ = PQconnectdbParams(keywords, values, 1);
    if (PQstatus(conn_) != CONNECTION_OK) {
        lastError_ = QString::fromUtf8(PQerrorMessage(conn_)).trimmed();
        throw DataError(QStringLiteral("The shop server cannot be reached (%1): %2\n\nNothing "
                                       "was stored. Check that the server is running and that "
                                       "this computer can reach it, then try again.")
                            .arg(serverName_, lastError_));
    }
    dropped_ = false;
    setUp();
}

void ServerConnection::setUp() {
    // Dates as the file stores them; the per-till scratch rows under this program's name;
    // a transaction left open by mistake is ended by the server rather than holding rows.
    // No compiling of query plans: a screen's whole table (every sale) is costly enough in
    // the planner's eyes to be compiled before its first row is sent, and a new connection's
    // first compile loads the compiler, some 20 to 30 ms the operator waits for the first
    // screenful; the shop's reports gain less than that from it.
    run("SET DateStyle = ISO; SET client_encoding = 'UTF8'; "
        "SET idle_in_transaction_session_timeout = '60s'; SET jit = off; "
        "SET quillmart.till = '" +
        tillName() + "'");
}

PGconn *ServerConnection::claim(ServerStatement *statement) {
    if (streaming_ != nullptr && streaming_ != statement) {
        ServerStatement *reading = streaming_;
        streaming_ = nullptr;
        reading->readRest();
    }
    // Outside a transaction, a connection the server closed while the till stood idle (a
    // restart, an ended backend) is found before anything is sent on it, so that a write is
    // sent once, on a new one, rather than failing there. (The server's last word, if any, is
    // read first; only the next read meets the closed end.)
    for (int read = 0; read < 2 && !transactionOpen_ && streaming_ == nullptr && connected();
         ++read)
        PQconsumeInput(conn_);
    if (!connected()) {
        // The work of a transaction went with the connection: it is reported, and only
        // the next transaction opens the connection again.
        if (transactionOpen_)
            fail(nullptr);
        connect();
    }
    if (statement != nullptr)
        streaming_ = statement;
    return conn_;
}

void ServerConnection::fail(const PGresult *result, bool committing) {
    const char *state = result != nullptr ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const bool lost = !connected() || connectionEnded(result);
    dropped_ = dropped_ || lost; // libpq may not know it yet
    const QByteArray code = state != nullptr ? QByteArray(state) : QByteArray();
    lastError_ =
        QString::fromUtf8(result != nullptr ? PQresultErrorMessage(result) : PQerrorMessage(conn_))
            .trimmed();
    if (lost) {
        if (committing)
            throw DataError(
                QStringLiteral("The connection to the shop server (%1) was lost while the work "
                               "was being stored, so it may or may not have been stored. Look "
                               "at the stored rows before you try again.\n\n(%2)")
                    .arg(serverName_, lastError_));
        throw DataError(QStringLiteral("The connection to the shop server (%1) was lost: "
                                       "nothing of this was stored. Try again when the server "
                                       "is back.\n\n(%2)")
                            .arg(serverName_, lastError_));
    }
    if (code == "40001" || code == "40P01")
        throw ConflictError(QStringLiteral("Another till was changing the same rows at that "
                                           "moment, so nothing of this was stored. Try again."));
    const char *primary =
        result != nullptr ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    throw DataError(primary != nullptr ? QString::fromUtf8(primary) : lastError_);
}

void ServerConnection::run(const QByteArray &sql, bool committing) {
    Result result(PQexec(conn_, sql.constData()));
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        fail(result.get(), committing);
    changes_ = std::atoi(PQcmdTuples(result.get()));
}

std::unique_ptr<StatementEngine> ServerConnection::prepare(const QString &sql) {
    return std::make_unique<ServerStatement>(*this, serversql::translate(sql));
}

void ServerConnection::exec(const QString &sql) {
    claim(nullptr);
    run(serversql::translate(sql).sql.toUtf8());
}

bool ServerConnection::reopenForRead(const PGresult *failure) {
    if (transactionOpen_ || (connected() && !connectionEnded(failure)))
        return false;
    connect();
    return true;
}

void ServerConnection::begin() {
    claim(nullptr);
    try {
        run("BEGIN");
    } catch (const DataError &) {
        // A server restarted since the last work leaves a dead connection behind: nothing
        // was begun, so the transaction begins once more on a new one.
        if (connected())
            throw;
        connect();
        run("BEGIN");
    }
    transactionOpen_ = true;
}

void ServerConnection::commit() {
    claim(nullptr);
    transactionOpen_ = false;
    run("COMMIT", true);
}

void ServerConnection::rollback() noexcept {
    if (streaming_ != nullptr) {
        ServerStatement *reading = streaming_;
        streaming_ = nullptr;
        try {
            reading->readRest();
        } catch (...) {
        }
    }
    transactionOpen_ = false;
    if (connected() && PQtransactionStatus(conn_) != PQTRANS_IDLE)
        PQclear(PQexec(conn_, "ROLLBACK"));
}

// -- statement -------------------------------------------------------------------------------

void ServerStatement::bind(int index, const QVariant &value) {
    if (index < 1)
        throw DataError(QStringLiteral("Parameter %1 does not exist.").arg(index));
    if (params_.size() < static_cast<std::size_t>(index)) {
        params_.resize(static_cast<std::size_t>(index));
        types_.resize(static_cast<std::size_t>(index), 0);
    }
    const auto at = static_cast<std::size_t>(index - 1);
    if (!value.isValid() || value.isNull()) {
        params_[at].reset();
        types_[at] = 0;
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::Bool:
        params_[at] = QByteArray::number(value.toLongLong());
        types_[at] = int8Oid;
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        params_[at] = QByteArray::number(value.toDouble(), 'g', 17);
        types_[at] = float8Oid;
        break;
    default:
        // Text takes the type its place asks for: a date, a time or a name.
        params_[at] = value.toString().toUtf8();
        types_[at] = 0;
    }
}

void ServerStatement::start() {
    if (state_ != State::Ready)
        return;
    PGconn *conn = conn_.claim(this);
    std::vector<const char *> values;
    for (const auto &param : params_)
        values.push_back(param ? param->constData() : nullptr);
    if (PQsendQueryParams(conn, utf8_.constData(), static_cast<int>(values.size()), types_.data(),
                          values.data(), nullptr, nullptr, 0) == 0) {
        conn_.release(this);
        conn_.fail(nullptr);
    }
    PQsetSingleRowMode(conn);
    state_ = State::Streaming;
    peeked_ = next();
    // A read outside a transaction on a connection the server dropped since the last
    // statement (a restart) is simply sent again on a new one.
    if (PQresultStatus(peeked_.get()) == PGRES_FATAL_ERROR && isRead() &&
        conn_.reopenForRead(peeked_.get())) {
        peeked_.reset();
        state_ = State::Ready;
        start();
        return;
    }
    if (peeked_ && PQresultStatus(peeked_.get()) != PGRES_FATAL_ERROR)
        description_.reset(PQcopyResult(peeked_.get(), PG_COPYRES_ATTRS));
}

Result ServerStatement::next() {
    if (peeked_)
        return std::move(peeked_);
    if (!readAhead_.empty()) {
        Result result = std::move(readAhead_.front());
        readAhead_.pop_front();
        return result;
    }
    if (state_ != State::Streaming)
        return Result();
    return Result(PQgetResult(conn_.raw()));
}

void ServerStatement::readRest() {
    if (state_ != State::Streaming)
        return;
    PGconn *conn = conn_.raw();
    for (Result result(PQgetResult(conn)); result; result.reset(PQgetResult(conn))) {
        if (PQresultStatus(result.get()) == PGRES_SINGLE_TUPLE && readAhead_.empty())
            spool_.add(result.get());
        else
            readAhead_.push_back(std::move(result));
    }
    state_ = State::Read;
    conn_.release(this);
}

bool ServerStatement::step() {
    start();
    row_.reset();
    spooled_ = false;
    for (;;) {
        // The rows read ahead come after the first one, which start() kept.
        if (!peeked_ && !spool_.empty()) {
            spooled_ = spool_.next(PQnfields(description_.get()));
            return true;
        }
        Result result = next();
        if (!result) {
            finish(Result());
            return false;
        }
        switch (PQresultStatus(result.get())) {
        case PGRES_SINGLE_TUPLE:
            row_ = std::move(result);
            return true;
        case PGRES_TUPLES_OK:
        case PGRES_COMMAND_OK:
            conn_.setChanges(std::atoi(PQcmdTuples(result.get())));
            continue; // the end of the rows: the null result follows
        default:
            finish(std::move(result));
        }
    }
}

void ServerStatement::finish(Result failure) {
    // The last result read: the connection is free for the next statement.
    if (state_ == State::Streaming)
        while (Result rest{PQgetResult(conn_.raw())})
            ;
    state_ = State::Done;
    conn_.release(this);
    if (failure)
        conn_.fail(failure.get());
}

void ServerStatement::stop() {
    row_.reset();
    peeked_.reset();
    readAhead_.clear();
    spool_.clear();
    spooled_ = false;
    if (state_ == State::Streaming) {
        PGconn *conn = conn_.raw();
        // The end of a short result is read; the server is asked to stop sending a long one
        // (a request that reaches it after the statement ended is ignored there).
        int left = 1000;
        Result rest{PQgetResult(conn)};
        for (; rest && left > 0; --left)
            rest.reset(PQgetResult(conn));
        if (rest) {
            if (PGcancel *cancel = PQgetCancel(conn)) {
                char ignored[256];
                PQcancel(cancel, ignored, sizeof ignored);
                PQfreeCancel(cancel);
            }
            while (rest)
                rest.reset(PQgetResult(conn));
        }
    }
    conn_.release(this);
    state_ = State::Ready;
}

QString ServerStatement::columnName(int column) {
    start();
    if (!description_)
        return QString();
    const QString name = QString::fromUtf8(PQfname(description_.get(), column));
    const auto written = sql_.names.constFind(name);
    return written != sql_.names.constEnd() ? *written : serversql::shopName(name);
}

QString ServerStatement::declaredType(int column) {
    start();
    if (!description_ || PQftable(description_.get(), column) == InvalidOid)
        return QString();
    switch (PQftype(description_.get(), column)) {
    case int2Oid:
    case int4Oid:
    case int8Oid:
        return QStringLiteral("INTEGER");
    case numericOid:
        return QStringLiteral("MONEY");
    case dateOid:
        return QStringLiteral("DATE");
    case timeOid:
        return QStringLiteral("TIME");
    default:
        return QStringLiteral("TEXT");
    }
}

QVariant ServerStatement::value(int column) const {
    if (spooled_) {
        int length = 0;
        const char *text = spool_.cell(column, length);
        return text == nullptr ? QVariant() : cell(text, length, column);
    }
    const PGresult *row = row_.get();
    if (row == nullptr || PQgetisnull(row, 0, column))
        return QVariant();
    return cell(PQgetvalue(row, 0, column), PQgetlength(row, 0, column), column);
}

QVariant ServerStatement::cell(const char *text, int length, int column) const {
    switch (PQftype(description_.get(), column)) {
    case int2Oid:
    case int4Oid:
    case int8Oid:
        return QVariant(static_cast<qlonglong>(std::strtoll(text, nullptr, 10)));
    case boolOid:
        return QVariant(static_cast<qlonglong>(text[0] == 't' ? 1 : 0));
    case numericOid:
    case float4Oid:
    case float8Oid:
        return QVariant(QByteArray::fromRawData(text, length).toDouble());
    default: {
        QString value = QString::fromUtf8(text, length);
        if (sql_.columnList && column == 1)
            value = serversql::shopName(value);
        return QVariant(value);
    }
    }
}

} // namespace

std::unique_ptr<ConnectionEngine> engines::openServer(const QString &location) {
    return std::make_unique<ServerConnection>(location);
}
