// Opening the SQLite engine: the shop in one file on this computer (for its driver).
#pragma once

#include <memory>

class ConnectionEngine;
class ShopDatabase;

namespace engines {
// An open SQLite connection to an existing shop file; throws DataError.
std::unique_ptr<ConnectionEngine> openFile(const ShopDatabase &shop);
} // namespace engines
