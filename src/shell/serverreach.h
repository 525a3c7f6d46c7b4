// At start, a shop on a server is tried once before the operator works: when it cannot be
// reached the operator is told why (the server's own words as the box's details) and may try
// again at once, or go on and let each screen try when it opens.
#pragma once

#include <QString>

class MessageBoxes;

namespace serverreach {

// True once the shop at `location` answers; false when the operator went on without it.
bool untilReached(const QString &location, MessageBoxes &messages);

} // namespace serverreach
