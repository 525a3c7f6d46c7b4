// Where the shop is kept: a file path, or a shop on a PostgreSQL server written as
// "postgresql:" and a libpq connection string or service name ("postgresql:service=shop").
// A server location may also carry the time its sessions wait for a lock or a statement
// before giving up ("postgresql:(timeout 5)service=shop"), so that each screen's connection
// knows its own. The data layer passes the location along as one text, like a path.
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

// The same shop, for sessions whose waits for a lock and whose statements end after
// `seconds` (none when 0). A file location is given back as it is: the file has its own
// busy time-out.
QString withTimeout(const QString &location, int seconds);
// The seconds a server location's sessions wait at most; 0 for no limit.
int timeoutOf(const QString &location);
// Whether the text is a connection string or service name a server location can be made of.
bool isConnectionString(const QString &text);

} // namespace shoplocation
