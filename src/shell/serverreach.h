// At start, a shop on a server is tried once before the operator works: when it cannot be
// reached the operator is told why (the server's own words as the box's details) and may try
// again at once, or go on and let each screen try when it opens.
#pragma once

class MessageBoxes;
class ShopDatabase;

namespace serverreach {

// True once the shop answers; false when the operator went on without it.
bool untilReached(const ShopDatabase &shop, MessageBoxes &messages);

} // namespace serverreach
