// Opening the SQLite engine: the shop in one file on this computer.
#pragma once

#include <QString>
#include <memory>

class ConnectionEngine;

namespace engines {
// An open SQLite connection to an existing shop file; throws DataError.
std::unique_ptr<ConnectionEngine> openFile(const QString &path);
} // namespace engines
