// The shop's kept connections and tables' columns.
#include "pgpool.h"

#include <libpq-fe.h>

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
