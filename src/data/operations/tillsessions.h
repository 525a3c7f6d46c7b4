// A till's sessions: opened by counting the float, cash paid in and out with a reason, the X
// report of the session so far (the back office's) and the closing by a blind count, which
// stores the Z report as it stands then. Each throws DataError with the operator's sentence.
#pragma once

#include "receipts.h"
#include "tillrecords.h"

#include <optional>
#include <vector>

class Connection;
class ShopSession;

struct TillSession {
    qint64 id = 0;
    qint64 till = 0;
    QString tillName;
    QDateTime opened;
    QDateTime closed; // not valid while the session is open
    Money openingFloat;
    QString openedBy;
    QString closedBy; // empty while open
    bool isOpen() const { return !closed.isValid(); }
};

// One payment method's lines of an X or Z report.
struct MethodFigures {
    qint64 method = 0;
    QString name;
    MethodKind kind = MethodKind::Other;
    Money taken;    // payments of the session's receipts (for cash: the cash kept)
    Money refunded; // refunds given back by it in the session
    // For cash: float + cash kept - cash refunds + cash in - cash out; otherwise taken less
    // refunded; and for each, its deposits.
    Money expected;
    std::optional<Money> counted; // Z report: what the closing counted; X report: none
    Money difference;             // counted - expected (0 on an X report)
    // Customers' deposits by it in the session: taken, less used on a receipt, less given back.
    // Not sales; in the drawer all the same, and in `expected`.
    Money deposits;
};

// The figures of a session: an X report (the session so far, computed now) or a Z report
// (as stored at its closing, never computed again).
struct SessionReport {
    TillSession session;
    bool stored = false; // a Z report
    int receipts = 0;    // receipts with a line sold in the session, voided ones included
    Money sales;         // every line sold, before voids
    int voids = 0;       // lines voided
    Money voided;        // their amount
    int refunds = 0;
    Money refunded;      // money and amounts given back, by every method
    Money rounding;      // cash rounding of the session's receipts
    Money cashIn;
    Money cashOut;
    // Customers' deposits on their orders, apart from sales (a shop with customer orders).
    bool hasDeposits = false;
    Money depositsTaken, depositsUsed, depositsRefunded;
    std::vector<MethodFigures> methods; // cash first, then card, then the others by name
    std::vector<QDateTime> xReports;    // when an X report of the session was opened
    // Net sales: sales less voids less refunds.
    Money net() const;
};

namespace shop {

// The shop's version that brings sessions, refunds and voids.
inline constexpr int sessionsVersion = 4;

// The session open on the till now, if there is one.
std::optional<TillSession> openSessionOf(Connection &connection, qint64 till);
// A session by its number; throws when there is none.
TillSession sessionById(Connection &connection, qint64 session);
// Every till's session open now, by till name.
std::vector<TillSession> openSessions(Connection &connection);

// Opens a session on the till this connection sells at with the float counted. Refused when
// the till has a session open already, the float is negative, or the login is at no till.
TillSession openSession(ShopSession &session, const SessionOpening &opening);
// Cash paid into or taken out of an open session's drawer. Refused for an amount of 0 or
// below, an empty reason, a session that is closed or another till's.
void moveCash(ShopSession &session, const CashMovementRecord &movement);
// The session so far, with what each method should hold. Opening it is recorded (the Z
// report shows when). On a server the back office's logins alone may: a till is refused.
SessionReport xReport(ShopSession &session, qint64 sessionId, const QDateTime &at);
// Closes an open session with the amounts counted, and stores and returns its Z report.
// Refused while a receipt of the session is not paid (or voided), for a closed session or
// another till's, and for a count below 0.
SessionReport closeSession(ShopSession &session, const SessionClosing &closing);
// The Z report of a closed session as it was stored at its closing.
SessionReport zReport(Connection &connection, qint64 session);

} // namespace shop
