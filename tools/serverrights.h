// Who may do what on a shop on a server: the tills' and the back office's group roles, their
// rights table by table, and the function through which a till books a sale (the only way a
// till changes a title's stock or adds a sale row).
#pragma once

#include "pgsession.h"

namespace serverrights {

// Makes the two group roles where the server lacks them (they are the server's, shared by
// every shop on it). Throws DataError, saying who must make them, when this login may not.
void makeRoles(pgtool::Session &db);

// The sale's function, owned by whoever runs this (the shop's owner), in the shop's schema.
void createSaleFunction(pgtool::Session &db);

// Gives each role exactly the rights its screens need, taking away any other it holds on the
// shop's tables, sequences and functions; the rest of the world gets none.
void grantRights(pgtool::Session &db);

// Brings a shop made by an earlier Quillmart up to date, in the caller's transaction: its
// scratch rows belong to the login that writes them (rows kept under the earlier program-run
// names are dropped), the sale's function is there, and the roles hold this version's rights.
// Changes no row of the shop.
void updateShop(pgtool::Session &db);

} // namespace serverrights
