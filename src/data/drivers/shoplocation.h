// Where the shop is kept: a file path, or a shop on a PostgreSQL server written as
// "postgresql:" and a libpq connection string or service name ("postgresql:service=shop").
// The data layer passes the location along as one text, like a path.
#pragma once

#include <QString>

namespace shoplocation {

bool isServer(const QString &location);
// The location of the server shop a libpq connection string or service name names.
QString ofServer(const QString &connectionString);
// The libpq connection string of a server location.
QString connectionString(const QString &location);
// How the shop is named in full: the file's path, or "Server shop: shop on backoffice".
QString describe(const QString &location);
// A short name for a narrow place (the status bar): the file's name, or the server's
// database ("shop"); describe() gives it whole.
QString shortName(const QString &location);
// The name of the login the shop is worked under: on a server the login the connection
// names (or libpq's default, the system's user), on a file the system's user. Empty when
// none is known.
QString loginName(const QString &location);

} // namespace shoplocation
