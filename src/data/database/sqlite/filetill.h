// A till's session work in a shop file: the statements the file's dialect runs for
// openSession, moveCash, closeSession, storeRefund and storeVoid (the file is one till: its
// first).
#pragma once

#include "dataerror.h"
#include "tillrecords.h"

#include <optional>
#include <utility>

class Connection;

namespace filetill {

qint64 openSession(Connection &connection, const SessionOpening &opening);
void moveCash(Connection &connection, const CashMovementRecord &movement);
void closeSession(Connection &connection, const SessionClosing &closing);
StoredRefund storeRefund(Connection &connection, const RefundRecord &refund);
void storeVoid(Connection &connection, const VoidRecord &voidRecord);
void recordXReport(Connection &connection, qint64 session, const QDateTime &at);

void receiptReceived(Connection &connection, const QString &receipt, qint64 tillNumber,
                     const QDateTime &at);
void receiptRefused(Connection &connection, const QString &receipt, const QString &reason,
                    const QString &made, const QDateTime &at);

// The figures of a session (?1) as the file computes them: the X report's, and the Z report's
// at its closing. The totals, one row: receipts, sales, voids, voided, refunds, refunded,
// rounding, cash in, cash out. The methods, a row each: method, name, kind, taken, refunded,
// expected.
const QString &totalsSql();
const QString &methodsSql();

// Shared by the file's till work.
DataError refused(const QString &why);
qint64 thisTill(Connection &connection);
bool paymentsOn(Connection &connection);
std::optional<qint64> openSessionOf(Connection &connection, qint64 till);
// Throws unless the session is this till's and open.
void requireOpenSession(Connection &connection, qint64 session);
// What a receipt's payments settle (less its cash rounding) and what its lines come to: those
// not voided, in a shop with voids.
std::pair<Money, Money> settledAndDue(Connection &connection, const QString &receipt, bool voids);

} // namespace filetill
