// A till's session work in a shop file: the statements the file's dialect runs for
// openSession, moveCash, closeSession, storeRefund and storeVoid (the file is one till: its
// first).
#pragma once

#include "tillrecords.h"

class Connection;

namespace filetill {

qint64 openSession(Connection &connection, const SessionOpening &opening);
void moveCash(Connection &connection, const CashMovementRecord &movement);
void closeSession(Connection &connection, const SessionClosing &closing);
StoredRefund storeRefund(Connection &connection, const RefundRecord &refund);
void storeVoid(Connection &connection, const VoidRecord &voidRecord);

} // namespace filetill
