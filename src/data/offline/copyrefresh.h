// Keeping the till's copy of what it sells up to date: every two minutes while the server can
// be reached, driven by the shop's clock (a test moves a fixed one).
#pragma once

#include <QDateTime>

class Clock;
class Connection;
class TillCopy;

namespace offline {

inline constexpr int refreshSeconds = 120;

// Whether the copy is older than two minutes at `at` (or was never made).
bool refreshDue(TillCopy &copy, const QDateTime &at);
// Reads the catalogue and the offers from the shop in one reading and replaces the copy with
// them whole, and keeps what the counter needs to open (counterstart.h); the contact with the
// server is recorded. Throws DataError; the copy is then as it was.
void refreshCopy(TillCopy &copy, Connection &shop, const QDateTime &at);
// Refreshes the copy when it is due; true when it did.
bool refreshIfDue(TillCopy &copy, Connection &shop, const Clock &clock);

} // namespace offline
