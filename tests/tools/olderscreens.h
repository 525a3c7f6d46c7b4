// The screens that keep or take the counter's receipts, payments, sessions and refunds, opened
// on a shop of an older version.
#pragma once

#include <QString>

// Opens the Tills, Payment Methods, Shop Settings and Refund Reasons editors, the list of till
// sessions and the X report, and presses Pay (F12), Unpaid Receipts (F11), Refund (F4) and Void
// (F6) at the counter of the shop at `location`, of version `version`: of those that need a later
// version, none opens or does its work, and each tells the operator once that the shop must
// be upgraded first, in the words for a file or a server.
void expectUpgradeFirstForLaterScreens(const QString &location, int version, bool file);
