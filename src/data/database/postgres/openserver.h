// Opening the PostgreSQL engine: a shop on a server that several tills share (for its
// driver).
#pragma once

#include <memory>

class ConnectionEngine;
class ShopDatabase;

namespace engines {
// An open connection to a shop on a PostgreSQL server (a location of pglocation.h), with the
// shop's settings; throws DataError.
std::unique_ptr<ConnectionEngine> openServer(const ShopDatabase &shop);
} // namespace engines
