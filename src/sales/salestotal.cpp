// Takings of the sales of a run of days.
#include "salestotal.h"

#include "connection.h"
#include "conversions.h"

#include <QVariant>

namespace salestotal {

double takings(Connection &connection, const QDate &first, const QDate &last) {
    // total() is 0.0 for no rows where sum() would be null. Only rows whose price and quantity
    // are both numbers count, so an incomplete sale can never blank or skew the whole figure.
    static const QString sql = QStringLiteral(
        "SELECT total(Price * Qty) FROM soldbook WHERE SoldDate BETWEEN ? AND ?"
        " AND typeof(Price) IN ('integer', 'real') AND typeof(Qty) IN ('integer', 'real')");
    return connection.scalar(sql, {conv::isoDate(first), conv::isoDate(last)}).toDouble();
}

} // namespace salestotal
