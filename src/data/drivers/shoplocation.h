// Where the shop is kept: a file path, or a shop on a PostgreSQL server written as
// "postgresql:" and a libpq connection string or service name ("postgresql:service=shop").
// drivers::open (opendatabase.h) makes the shop of a location; its ShopDatabase names it
// (describe, shortName) and says whether it is a file here (localFile).
#pragma once

#include <QString>

namespace shoplocation {

// The location of the server shop a libpq connection string or service name names.
QString ofServer(const QString &connectionString);
// The name of the login the shop is worked under: on a server the login the connection
// names (or libpq's default, the system's user), on a file the system's user. Empty when
// none is known.
QString loginName(const QString &location);

// Whether the text is a connection string or service name a server location can be made of.
bool isConnectionString(const QString &text);

} // namespace shoplocation
