// The supplier's credit set beside a listing of its bills: the credit notes it has sent (and
// the credit the shop still expects for copies sent back) take their part off what the bills
// come to. The bill screens and the printed bill report show it in the same words.
#pragma once

#include "money.h"

#include <QString>
#include <QStringList>

class Connection;
class RecordSource;

namespace billcredit {

// Open bills are still to pay; paid bills were paid in full, the credit being settled apart.
enum class Bills { Open, Paid };

// What the listed bills of the supplier come to and what its credit takes off them, one
// sentence a line. Empty when no supplier is named, when the shop keeps no credit notes (a
// shop of an older version) or when the supplier has neither notes nor returns.
QStringList beside(Connection &connection, const QString &supplier, const Money &listed,
                   Bills bills);

// The fees of every row of the listing (read to its end first). Rows whose fee is empty or not
// a number add nothing.
Money listedFees(RecordSource &listing, const QString &feeField);

} // namespace billcredit
