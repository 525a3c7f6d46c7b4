// Takings of the sales of a run of days.
#include "salestotal.h"

#include "connection.h"
#include "conversions.h"

namespace salestotal {

double takings(Connection &connection, const QDate &first, const QDate &last) {
    // A sale lacking its price or quantity makes a null product, which total() leaves out, so
    // an incomplete sale never blanks the whole figure; total() is 0.0 where sum() would be
    // null for a period without sales.
    static const QString sql =
        QStringLiteral("SELECT total(Price * Qty) FROM soldbook WHERE SoldDate BETWEEN ? AND ?");
    return connection.scalar(sql, {conv::isoDate(first), conv::isoDate(last)}).toDouble();
}

} // namespace salestotal
