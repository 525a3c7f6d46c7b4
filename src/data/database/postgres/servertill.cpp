// A till's session work on a server, through the shop's functions.
#include "servertill.h"

#include "connection.h"
#include "dataerror.h"

namespace servertill {

qint64 openSession(Connection &, const SessionOpening &) {
    throw DataError(QStringLiteral("not yet"));
}
void moveCash(Connection &, const CashMovementRecord &) {
    throw DataError(QStringLiteral("not yet"));
}
void closeSession(Connection &, const SessionClosing &) {
    throw DataError(QStringLiteral("not yet"));
}
StoredRefund storeRefund(Connection &, const RefundRecord &) {
    throw DataError(QStringLiteral("not yet"));
}
void storeVoid(Connection &, const VoidRecord &) {
    throw DataError(QStringLiteral("not yet"));
}

} // namespace servertill
