// What the counter needs to open, kept in the till's own file: the shop's payment settings and
// methods, this till and its open session. Kept at each refresh of the copy while the server
// answers, and when the counter opens or closes a session; a till started while the server
// cannot be reached opens its counter from it and sells on in that session.
#pragma once

#include "receipts.h"
#include "refunds.h"
#include "tillsessions.h"

#include <QByteArray>
#include <optional>
#include <vector>

class Connection;
class TillCopy;

struct CounterStart {
    PaymentSettings settings;
    std::vector<PaymentMethod> methods;
    std::optional<Till> till;
    std::optional<TillSession> session; // the till's open session
    // The reasons a refund may give, for refunds of the session's receipts made offline; none
    // in what a till kept before it kept them.
    std::vector<RefundReason> refundReasons;
    // Whether a counter can open from this alone: it takes payment, at a known till, in an
    // open session (none opens without the server).
    bool sellsOffline() const { return settings.paymentsOn && till && session; }
};

namespace counterstart {

// Reads what the counter needs from the shop. Throws DataError.
CounterStart read(Connection &shop);
// Keeps it in the till's file, in place of what was kept before, and lets go of the till's
// receipts of sessions other than the one open now (those waiting to be sent stay). Throws
// DataError.
void keep(TillCopy &copy, const CounterStart &start);
// What was kept last; none before the first keeping. Throws DataError.
std::optional<CounterStart> kept(TillCopy &copy);

// To and from JSON text; `parse` throws DataError on text it cannot read.
QByteArray write(const CounterStart &start);
CounterStart parse(const QByteArray &text);

} // namespace counterstart
