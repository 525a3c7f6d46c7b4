// What the server's failures are called: the operator's texts of the program's server engine,
// the texts the tools print, and the kinds of the failures the code above may act on.
#pragma once

#include "dataerror.h"

#include <QString>

typedef struct pg_result PGresult;

namespace pgerrors {

// Whether a failed result says the connection is gone: an error of the server's own saying so
// (class 08, or 57P: shut down, terminated), or one without the SQLSTATE every error of the
// server has, which libpq made itself ("server closed the connection unexpectedly").
bool connectionEnded(const PGresult *failure);

// The program's: the shop's server, as the operator knows it, cannot be reached. `opening`:
// nothing was under way yet, so nothing can have been kept from being stored.
DataError cannotReach(const QString &server, const QString &why, bool opening);
// The program's, for a failed result (or, with none, a failure of the connection itself, whose
// libpq text is `why`): the connection `lost` while the work was sent or while it was
// `committing`, another till's work in the way, a wait given up, or the server's own words.
[[noreturn]] void throwFailure(const PGresult *failure, const QString &why, const QString &server,
                               bool lost, bool committing);

// The tools': no session could be made with the connection string (shown without its password).
DataError cannotConnect(const QString &conninfo, const QString &why);
// The tools': what failed on the database `where` ("database shop on backoffice").
DataError toolFailure(const QString &what, const QString &where, const QString &why);
// The tools' `what` for a statement the server refused, shortened for the message.
QString refused(const QString &sql);

} // namespace pgerrors
