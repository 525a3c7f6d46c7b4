// Counts the disk syncs SQLite asks for, through a thin VFS that wraps the default one, so
// that a benchmark can tell how many syncs one committed sale costs.
#pragma once

#include <cstdint>

namespace synccounter {

// Makes the counting VFS the default for every connection opened from now on.
void install();
// Syncs asked for since the program started (all files, all connections).
std::uint64_t count();

} // namespace synccounter
