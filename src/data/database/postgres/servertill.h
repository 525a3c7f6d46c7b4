// A till's session work on a server: each a call of the shop's SECURITY DEFINER function for
// it, which checks the work and stores it as the shop's owner (the shop's version 4).
#pragma once

#include "tillrecords.h"

class Connection;

namespace servertill {

qint64 openSession(Connection &connection, const SessionOpening &opening);
void moveCash(Connection &connection, const CashMovementRecord &movement);
void closeSession(Connection &connection, const SessionClosing &closing);
StoredRefund storeRefund(Connection &connection, const RefundRecord &refund);
void storeVoid(Connection &connection, const VoidRecord &voidRecord);

void receiptReceived(Connection &connection, const QString &receipt, qint64 tillNumber);
void receiptRefused(Connection &connection, const QString &receipt, const QString &reason,
                    const QString &made);

} // namespace servertill
