// Before a sale of more copies than the catalogue holds, the counter asks: the shelf count may
// be wrong (copies never counted in), so the operator may go on.
#pragma once

struct SaleLine;
class MessageBoxes;
class ShopSession;

namespace stockquestion {

// True when the sale may go on: the stock read now covers it (copies set aside for customer
// orders aside), cannot be read (the booking then says what is wrong), or the operator says to
// sell anyway.
bool allows(ShopSession &session, MessageBoxes &messages, const SaleLine &sale);

} // namespace stockquestion
