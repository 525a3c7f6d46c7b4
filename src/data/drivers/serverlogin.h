// Who the program works as on a server shop, read from the server's catalogue (never from the
// login's name): whether the login may work the shop at all, and whether it is a till, a
// back-office login or both. The server's superuser, a login that bypasses row security and
// the owner of the shop's tables are for the tools alone.
#pragma once

#include <QString>

class Connection;

struct ServerLogin {
    QString name;
    bool superuser = false;
    bool bypassesRowSecurity = false;
    bool ownsShop = false; // owns the shop's tables, or may act as their owner
    bool till = false;     // has the rights of quillmart_till
    bool office = false;   // has the rights of quillmart_office

    // Why the program does not work as this login, naming the login to use; empty when it may.
    QString refusal() const;
    // The role this login lacks for work that needs the back office's rights (or, for
    // `needsOffice` false, a till's); empty when it has what the work needs.
    QString missingRole(bool needsOffice) const;
    // Why this login may not do that work, "Paying bills" say; empty when it may.
    QString refusalOf(const QString &work, bool needsOffice) const;
};

namespace serverlogin {

// The login of a connection to a server shop. Throws DataError.
ServerLogin examine(Connection &connection);

// Deletes the rows this login left in the scratch tables (a program of it that was killed
// kept them), where it may write them. Throws DataError.
void clearScratchRows(Connection &connection);

} // namespace serverlogin
