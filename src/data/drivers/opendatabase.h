// Opening the shop wherever it is kept: the one place that chooses the engine for a location.
#pragma once

#include "connection.h"

#include <QString>

namespace drivers {
// A connection to the shop at the location (shoplocation.h): an existing file, opened
// read-write and never created, or a shop on a server. Throws DataError.
Connection connect(const QString &location);
} // namespace drivers
