// Opening the shop wherever it is kept: the one place that chooses the engine's driver for a
// location.
#pragma once

#include "connection.h"
#include "connectionsettings.h"
#include "shopdatabase.h"

#include <QString>

namespace drivers {
// The shop at the location (shoplocation.h: a file path, or a server's), with the driver of
// its engine. Nothing is opened yet.
ShopDatabase open(const QString &location, const ConnectionSettings &settings = {});
// A connection to the shop at the location: an existing file, opened read-write and never
// created, or a shop on a server. Throws DataError.
Connection connect(const QString &location);
} // namespace drivers
