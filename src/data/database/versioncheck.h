// The version of the shop a connection of the program is open on (shopversion.h), for the
// check at start, the screens that need a later version, and the backups' facts.
#pragma once

#include "shopsteps.h"
#include "shopversion.h"

class Connection;

namespace versioncheck {

// Throws DataError: of kind Damaged for a damaged version table (shopversion::read), or
// whatever reading the shop throws.
ShopVersion read(Connection &connection, std::span<const StepDescription> steps = steps::all);

} // namespace versioncheck
