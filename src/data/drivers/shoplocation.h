// Where the shop is kept: a file path, or a shop on a PostgreSQL server written as
// "postgresql:" and a libpq connection string or service name ("postgresql:service=shop").
// The data layer passes the location along as one text, like a path.
#pragma once

#include <QString>

namespace shoplocation {

bool isServer(const QString &location);
// The location of the server shop a libpq connection string or service name names.
QString ofServer(const QString &connectionString);
// How the status bar names the shop: the file's path, or "shop on backoffice/shop".
QString describe(const QString &location);

} // namespace shoplocation
