// Voids: a line of a receipt not yet paid, or the whole receipt, taken back in the session it
// was sold in, with who, when and why: the copies go back into stock and each line's sale is
// offset by a row of negative quantity; nothing is deleted. After payment only a refund
// takes a line back. Each throws DataError.
#pragma once

#include "tillrecords.h"

#include <set>

class Connection;
class ShopSession;

namespace shop {

// Stores the void whole (SqlDialect::storeVoid); the same void sent again changes nothing.
void storeVoid(ShopSession &session, const VoidRecord &voidRecord);
// The lines of a receipt that are voided.
std::set<int> voidedLines(Connection &connection, const QString &receipt);

} // namespace shop
