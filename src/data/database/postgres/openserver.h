// Opening the PostgreSQL engine: a shop on a server that several tills share.
#pragma once

#include <QString>
#include <memory>

class ConnectionEngine;

namespace engines {
// An open connection to a shop on a PostgreSQL server (a location of pglocation.h); throws
// DataError.
std::unique_ptr<ConnectionEngine> openServer(const QString &location);
} // namespace engines
