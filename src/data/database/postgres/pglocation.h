// A shop on a PostgreSQL server, as its location names it: "postgresql:" and a libpq
// connection string or service name ("postgresql:service=shop").
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace pglocation {

inline constexpr const char *prefix = "postgresql:";

// Whether the location names a shop on a server.
bool isServer(const QString &location);
// The libpq connection string of a server location.
QString connectionString(const QString &location);
// What a connection string sets, keyword and value, in libpq's order; none when libpq cannot
// read it.
std::optional<std::vector<std::pair<QByteArray, QString>>> settingsOf(const QString &conninfo);
// How a server shop is named in full: "Server shop: shop on backoffice".
QString describe(const QString &location);
// Its short name: the database ("shop"), or the service.
QString shortName(const QString &location);
// The login the connection string or PGUSER names; empty when libpq would take the system's.
QString loginName(const QString &location);

} // namespace pglocation
