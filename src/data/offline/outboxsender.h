// Sending a till's outbox to the shop when the server can be reached again: oldest first,
// each receipt in one transaction of its own through the shop's one store of a receipt (by its
// identifier, so that a receipt stored before its till heard the answer is not stored twice),
// with the record of its arrival. A receipt leaves the outbox only once the commit was
// confirmed. A lost connection stops the sending (the rest waits for the next try); a receipt
// the shop refuses for good is set aside, on the till and in the shop, and the rest goes on.
#pragma once

#include "dataerror.h"

#include <QDateTime>
#include <QString>
#include <vector>

class ShopSession;
class TillCopy;

namespace offline {

// The shop's version that records receipts sent late and keeps those it refused.
inline constexpr int latereceiptsVersion = 6;

struct SendReport {
    int sent = 0;
    // Each receipt refused for good this time: the till's number and the shop's reason.
    std::vector<std::pair<qint64, QString>> refused;
    int refundsSent = 0; // refunds, sent after the receipts
    // Each refund refused for good: what it was and the shop's reason.
    std::vector<std::pair<QString, QString>> refusedRefunds;
    int cashSent = 0; // cash movements, sent after the refunds
    // Each cash movement refused for good: what it was and the shop's reason.
    std::vector<std::pair<QString, QString>> refusedCash;
    bool interrupted = false; // the connection was lost: what is left waits
};

// Sends what waits, up to `limit` receipts (all of them when 0), then the refunds given
// meanwhile through the shop's one store of a refund, then the cash put in or taken out through
// the shop's one recording of it (each by its identifier). Work made in a session the back
// office closed while the till was away does not go into another session: it is refused for
// good with that reason. Never throws a DataError for a piece of work: the report says what
// became of each.
SendReport sendOutbox(TillCopy &copy, ShopSession &shop, const QDateTime &at, int limit = 0);

// Whether a failure of this kind means the server or the connection, which passes, rather
// than the receipt itself, which sending again will not mend.
bool passes(DataError::Kind kind);

} // namespace offline
