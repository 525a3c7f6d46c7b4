// The screens that keep or take the counter's receipts and payments, opened on a shop of an
// older version.
#pragma once

#include <QString>

// Opens the Tills, Payment Methods and Shop Settings editors and presses Pay (F12) and Unpaid
// Receipts (F11) at the counter of the shop at `location`, of version `version`: none opens
// or takes payment, and each tells the operator once that the shop must be upgraded first, in
// the words for a file or a server.
void expectUpgradeFirstForReceipts(const QString &location, int version, bool file);
