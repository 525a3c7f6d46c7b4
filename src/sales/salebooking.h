// Booking one sale line whole: the title's stock lowered and the sales row written in one
// transaction, or neither.
#pragma once

#include <QDate>
#include <QString>
#include <QTime>

class Connection;

struct SaleLine {
    qint64 bookNo = 0; // the Titles row the sale is booked against
    QString isbn;
    QString title;
    double price = 0; // unit price charged
    double quantity = 0;
};

namespace salebooking {

// Lowers Titles.Qty by the quantity on the stored value (another window may have sold
// copies since the lookup) and appends the soldbook row. Throws DataError saying why the
// sale was not recorded; nothing is booked then.
void book(Connection &connection, const SaleLine &sale, const QDate &day, const QTime &time);

} // namespace salebooking
