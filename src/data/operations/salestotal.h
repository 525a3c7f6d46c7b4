// The takings of a run of days: price times quantity over the sales, summed exactly in
// ten-thousandths by the database on the indexed sale date, as the day and period reports
// show it.
#pragma once

#include "money.h"

#include <QDate>

class Connection;

namespace salestotal {

// Sum of Price x Qty over the sales from `first` to `last`, both days included; 0 when there
// are none (also when `first` is after `last`). A sale lacking a price or a quantity is listed
// by the reports but adds nothing here: its amount is unknown. Throws DataError.
Money takings(Connection &connection, const QDate &first, const QDate &last);

} // namespace salestotal
