// A till's sessions in a shop file.
#include "filetill.h"

#include "connection.h"
#include "dataerror.h"

namespace filetill {

qint64 openSession(Connection &, const SessionOpening &) {
    throw DataError(QStringLiteral("not yet"));
}
void moveCash(Connection &, const CashMovementRecord &) {
    throw DataError(QStringLiteral("not yet"));
}
void closeSession(Connection &, const SessionClosing &) {
    throw DataError(QStringLiteral("not yet"));
}

} // namespace filetill
