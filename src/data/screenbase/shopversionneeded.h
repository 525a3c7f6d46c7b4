// For the screens of the features a later version of the shop brings: whether the shop has
// that version, and if not, the operator is told that it must be upgraded first and how (File
// > Upgrade the Shop… for a file; the administrator's quillmart-upgrade on a server).
#pragma once

#include "shopcontext.h"

class Connection;

// True when the shop on `connection` is at version `needed` or later. Else the operator is
// told why the screen cannot be used yet, and false. A shop that cannot be read tells its own
// failure (DataError).
bool hasShopVersion(const ShopContext &context, Connection &connection, int needed);
