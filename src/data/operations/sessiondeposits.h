// Customers' deposits in a till's session: money in its drawer by method, but not sales. A
// session's X and Z reports add them beside the sales and to what each method should hold.
#pragma once

#include "tillsessions.h"

class Connection;

namespace shop {

// Fills the report's deposits and adds each method's to what it should hold; nothing in a shop
// without customer orders.
void addDeposits(Connection &connection, SessionReport &report);

} // namespace shop
