// The server connection: taking a kept connection or connecting, reconnecting, transactions,
// and the catalogue's columns; the shop's kept connections and tables' columns.
#include "dataerror.h"
#include "pglocation.h"
#include "serverengine.h"
#include "servererrors.h"
#include "shopdatabase.h"

#include <utility>

namespace server {

ServerConnection::ServerConnection(const ShopDatabase &shop)
    : shop_(std::static_pointer_cast<ServerShopState>(shop.driverState())),
      location_(shop.location()), settings_(shop.settings()),
      serverName_(pglocation::describe(location_)) {
    session_ = shop_->sessions.take(sessionSettings());
    if (!session_)
        connect(true);
}

ServerConnection::~ServerConnection() {
    if (connected() && !transactionOpen_ && streaming_ == nullptr)
        shop_->sessions.put(std::move(session_));
}

void ServerConnection::connect(bool opening) {
    try {
        session_ = std::make_unique<pgtool::Session>(pglocation::connectionString(location_),
                                                     sessionSettings());
    } catch (const DataError &error) {
        // Only work already under way can have been kept from being stored.
        throw pgerrors::cannotReach(serverName_, error.sentence(), opening);
    }
    dropped_ = false;
}

std::vector<pgtool::Setting> ServerConnection::sessionSettings() const {
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
    if (streaming_ != nullptr && streaming_ != statement)
        std::exchange(streaming_, nullptr)->readRest();
    // Outside a transaction, a connection the server closed while the till stood idle (a
    // restart, an ended backend) is found before anything is sent on it, so that a write is
    // sent once, on a new one, rather than failing there. The server's last word may come
    // a moment before the close: a second is waited for it then.
    if (!transactionOpen_ && streaming_ == nullptr && connected())
        session_->closedAtRest(1000);
    if (!connected()) {
        // The work of a transaction went with the connection: it is reported, and only
        // the next transaction opens the connection again.
        if (transactionOpen_)
            fail(nullptr);
        connect();
    }
    if (statement != nullptr)
        streaming_ = statement;
    return raw();
}

void ServerConnection::fail(const PGresult *result, bool committing) {
    const bool lost = !connected() || pgerrors::connectionEnded(result);
    dropped_ = dropped_ || lost; // libpq may not know it yet
    const QString why =
        QString::fromUtf8(result != nullptr ? PQresultErrorMessage(result) : PQerrorMessage(raw()))
            .trimmed();
    pgerrors::throwFailure(result, why, serverName_, lost, committing);
}

void ServerConnection::run(const QByteArray &sql, bool committing) {
    const pgtool::Result result = session_->run(sql);
    if (!result.ok())
        fail(result.raw(), committing);
    changes_ = result.changed();
}

std::unique_ptr<StatementEngine> ServerConnection::prepare(const EngineSql &sql) {
    return std::make_unique<ServerStatement>(*this, sql);
}

void ServerConnection::exec(const EngineSql &sql) {
    claim(nullptr);
    run(sql.sql.toUtf8());
}

std::vector<TableColumn> ServerConnection::columnsOf(const QString &table) {
    if (std::optional<std::vector<TableColumn>> known = shop_->columnsOf(table))
        return *known;
    // The hidden columns (the key every table carries, a till's own rows' owner) are the
    // server's, not the shop's.
    ServerStatement info(
        *this,
        EngineSql{QStringLiteral("SELECT a.attname, a.atttypid, a.attidentity <> ''"
                                 " FROM pg_attribute a WHERE a.attrelid = to_regclass($1)"
                                 " AND a.attnum > 0 AND NOT a.attisdropped"
                                 " AND a.attname NOT IN ('rowid', 'till') ORDER BY a.attnum"),
                  true});
    info.bind(1, pgtool::quoteIdent(table.toLower()));
    std::vector<TableColumn> columns;
    while (info.step()) {
        const bool key = info.value(2).toLongLong() != 0;
        columns.push_back({engines::shopSpelling(info.value(0).toString()),
                           conv::kindFromDeclaredType(declaredTypeOf(info.value(1).toUInt()), key),
                           key});
    }
    shop_->keepColumns(table, columns);
    return columns;
}

bool ServerConnection::reopenForRead(const PGresult *failure) {
    if (transactionOpen_ || (connected() && !pgerrors::connectionEnded(failure)))
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
    try {
        if (streaming_ != nullptr)
            std::exchange(streaming_, nullptr)->readRest();
    } catch (...) {
    }
    transactionOpen_ = false;
    if (connected() && PQtransactionStatus(raw()) != PQTRANS_IDLE)
        session_->run("ROLLBACK");
}

} // namespace server

namespace {

// As DISCARD ALL, which a string of several statements may not hold; the reset to the
// settings the connection was opened with comes first.
constexpr char kReset[] = "SET SESSION AUTHORIZATION DEFAULT; RESET ALL; DEALLOCATE ALL; "
                          "CLOSE ALL; UNLISTEN *; SELECT pg_advisory_unlock_all(); "
                          "DISCARD PLANS; DISCARD SEQUENCES; DISCARD TEMP; ";

} // namespace

std::unique_ptr<pgtool::Session> SessionPool::take(const std::vector<pgtool::Setting> &settings) {
    std::optional<std::unique_ptr<pgtool::Session>> kept = idle_.take();
    if (!kept)
        return nullptr;
    std::unique_ptr<pgtool::Session> session = std::move(*kept);
    // One round trip. A connection the server ended meanwhile fails it, and the others went
    // the same way as likely as not (a restart): none of them is tried.
    if (session->run(kReset + pgtool::Session::setStatements(settings)).ok())
        return session;
    idle_.clear();
    return nullptr;
}

void SessionPool::put(std::unique_ptr<pgtool::Session> session) {
    // The server ends it once kept longer than here, so that a program left alone holds no
    // server process for long; the answer is read, and dropped, by the reset that takes it.
    static const QByteArray expiry = "SET idle_session_timeout = '" +
                                     QByteArray::number(decltype(idle_)::kLongest.count()) + "min'";
    if (!session->idle() || PQsendQuery(session->raw(), expiry.constData()) == 0)
        return;
    idle_.put(std::move(session));
}

std::optional<std::vector<TableColumn>> ServerShopState::columnsOf(const QString &table) const {
    const std::lock_guard lock(mutex_);
    const auto known = columns_.constFind(table.toLower());
    return known != columns_.constEnd() ? std::optional(*known) : std::nullopt;
}

void ServerShopState::keepColumns(const QString &table, const std::vector<TableColumn> &columns) {
    if (columns.empty())
        return;
    const std::lock_guard lock(mutex_);
    columns_.insert(table.toLower(), columns);
}
