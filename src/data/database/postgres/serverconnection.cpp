// The server connection: connecting and reconnecting, transactions, the operator's texts for
// the server's failures.
#include "dataerror.h"
#include "openserver.h"
#include "pglocation.h"
#include "serverengine.h"
#include "shopdatabase.h"

namespace server {

ServerConnection::ServerConnection(const ShopDatabase &shop)
    : location_(shop.location()), settings_(shop.settings()) {
    serverName_ = pglocation::describe(location_);
    connect(true);
}

ServerConnection::~ServerConnection() {
    if (conn_ != nullptr)
        PQfinish(conn_);
}

namespace {

// Whether the shop's connection string sets the server's options itself.
bool namesOptions(const QByteArray &settings) {
    PQconninfoOption *options = PQconninfoParse(settings.constData(), nullptr);
    bool named = false;
    for (PQconninfoOption *option = options; option != nullptr && option->keyword != nullptr;
         ++option)
        named = named || (qstrcmp(option->keyword, "options") == 0 && option->val != nullptr);
    PQconninfoFree(options);
    return named;
}

} // namespace

void ServerConnection::connect(bool opening) {
    const QByteArray settings = pglocation::connectionString(location_).toUtf8();
    // The session's settings go with the request to connect, saving a round trip before a
    // screen's first rows, unless the shop's settings carry server options of their own.
    const bool ownOptions = namesOptions(settings);
    QByteArray options;
    for (const auto &[name, value] : sessionSettings())
        options += " -c " + name + '=' + value;
    // The shop's own settings come last and win; a server that does not answer is given
    // up after ten seconds rather than hanging the till.
    std::vector<const char *> keywords{"connect_timeout", "fallback_application_name",
                                       "client_encoding"};
    std::vector<const char *> values{"10", "Quillmart", "UTF8"};
    if (!ownOptions) {
        keywords.push_back("options");
        values.push_back(options.constData());
    }
    keywords.insert(keywords.end(), {"dbname", nullptr});
    values.insert(values.end(), {settings.constData(), nullptr});
    if (conn_ != nullptr)
        PQfinish(conn_);
    conn_ = PQconnectdbParams(keywords.data(), values.data(), 1);
    if (PQstatus(conn_) != CONNECTION_OK) {
        lastError_ = QString::fromUtf8(PQerrorMessage(conn_)).trimmed();
        // Only work already under way can have been kept from being stored; opening a
        // connection tried to store nothing.
        throw DataError(DataError::Kind::ConnectionLost,
                        QStringLiteral("The shop server cannot be reached (%1)%2. Check that "
                                       "the server is running and that this computer can "
                                       "reach it, then try again.")
                            .arg(serverName_, opening ? QString()
                                                      : QStringLiteral(": nothing of this was "
                                                                       "stored")),
                        lastError_);
    }
    dropped_ = false;
    if (ownOptions) {
        QByteArrayList statements;
        for (const auto &[name, value] : sessionSettings())
            statements << "SET " + name + " = '" + value + '\'';
        run(statements.join("; "));
    }
}

std::vector<std::pair<QByteArray, QByteArray>> ServerConnection::sessionSettings() const {
    // Dates as the file stores them; a transaction left open by mistake is ended by the
    // server rather than holding rows. No compiling of query plans: a screen's whole table
    // (every sale) is costly enough in the planner's eyes to be compiled before its first row
    // is sent, and a new connection's first compile loads the compiler, some 20 to 30 ms the
    // operator waits for the first screenful; the shop's reports gain less than that from it.
    // A screen that must not hang behind another till's lock gives up after its time: the
    // same limit for a lock and for a whole statement, so that no wait outlasts it. These go
    // with every connection, after whatever defaults the login has set for itself.
    const int timeout = settings_.waitLimitSeconds;
    const QByteArray limit = timeout > 0 ? QByteArray::number(timeout) + 's' : QByteArray("0");
    return {{"DateStyle", "ISO"},
            {"idle_in_transaction_session_timeout", "60s"},
            {"jit", "off"},
            {"lock_timeout", limit},
            {"statement_timeout", limit}};
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

namespace {

// The kind of the server's other failures that the code above may act on, by SQLSTATE.
DataError::Kind kindOf(const QByteArray &code) {
    if (code == "42501") // insufficient privilege: the login may not
        return DataError::Kind::Refused;
    if (code == "25006") // a read-only transaction, or a standby server
        return DataError::Kind::ReadOnly;
    if (code == "53100")
        return DataError::Kind::DiskFull;
    return DataError::Kind::Other;
}

} // namespace

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
                DataError::Kind::ConnectionLost,
                QStringLiteral("The connection to the shop server (%1) was lost while the work "
                               "was being stored, so it may or may not have been stored. Look "
                               "at the stored rows before you try again.")
                    .arg(serverName_),
                lastError_);
        throw DataError(DataError::Kind::ConnectionLost,
                        QStringLiteral("The connection to the shop server (%1) was lost: "
                                       "nothing of this was stored. Try again when the server "
                                       "is back.")
                            .arg(serverName_),
                        lastError_);
    }
    if (code == "40001" || code == "40P01")
        throw ConflictError(QStringLiteral("Another till was changing the same rows at that "
                                           "moment, so nothing of this was stored. Try again."));
    // A lock another till or computer held longer than this screen waits, or a statement
    // that ran out of its time: the work was rolled back whole.
    if (code == "55P03" || code == "57014")
        throw DataError(DataError::Kind::Busy,
                        QStringLiteral("The shop database is busy: another till or computer is "
                                       "holding what this needs (%1). Nothing of this was "
                                       "stored. Try again in a moment.")
                            .arg(serverName_),
                        lastError_);
    const char *primary =
        result != nullptr ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    throw DataError(kindOf(code), primary != nullptr ? QString::fromUtf8(primary) : lastError_);
}

void ServerConnection::run(const QByteArray &sql, bool committing) {
    Result result(PQexec(conn_, sql.constData()));
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        fail(result.get(), committing);
    changes_ = std::atoi(PQcmdTuples(result.get()));
}

std::unique_ptr<StatementEngine> ServerConnection::prepare(const EngineSql &sql) {
    return std::make_unique<ServerStatement>(*this, sql);
}

void ServerConnection::exec(const EngineSql &sql) {
    claim(nullptr);
    run(sql.sql.toUtf8());
}

std::vector<TableColumn> ServerConnection::columnsOf(const QString &table) {
    // The hidden columns (the key every table carries, a till's own rows' owner) are the
    // server's, not the shop's.
    QString name = table.toLower();
    name.replace(QLatin1Char('"'), QLatin1String("\"\""));
    ServerStatement info(
        *this, EngineSql{QStringLiteral(
                             "SELECT a.attname, t.typname, a.attidentity <> '' FROM pg_attribute a"
                             " JOIN pg_type t ON t.oid = a.atttypid"
                             " WHERE a.attrelid = to_regclass($1) AND a.attnum > 0"
                             " AND NOT a.attisdropped AND a.attname NOT IN ('rowid', 'till')"
                             " ORDER BY a.attnum"),
                         {},
                         true});
    info.bind(1, QString(QLatin1Char('"') + name + QLatin1Char('"')));
    std::vector<TableColumn> columns;
    while (info.step()) {
        const QString type = info.value(1).toString();
        const bool key = info.value(2).toLongLong() != 0;
        ColumnKind kind = ColumnKind::Text;
        if (type == QLatin1String("int2") || type == QLatin1String("int4") ||
            type == QLatin1String("int8"))
            kind = key ? ColumnKind::AutoNumber : ColumnKind::Whole;
        else if (type == QLatin1String("numeric"))
            kind = ColumnKind::Money;
        else if (type == QLatin1String("date"))
            kind = ColumnKind::Date;
        else if (type == QLatin1String("time"))
            kind = ColumnKind::Time;
        columns.push_back({engines::shopSpelling(info.value(0).toString()), kind, key});
    }
    return columns;
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
    ++commits_;
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

} // namespace server

std::unique_ptr<ConnectionEngine> engines::openServer(const ShopDatabase &shop) {
    return std::make_unique<server::ServerConnection>(shop);
}
