// Takings of the sales of a run of days.
#include "salestotal.h"

#include "connection.h"
#include "conversions.h"
#include "shoptables.h"

namespace salestotal {

double takings(Connection &connection, const QDate &first, const QDate &last) {
    // A sale lacking its price or quantity makes a null product, which total() leaves out, so
    // an incomplete sale never blanks the whole figure; total() is 0.0 where sum() would be
    // null for a period without sales.
    using namespace tables;
    static const QString sql =
        QStringLiteral("SELECT total(%1 * %2) FROM %3 WHERE %4 BETWEEN ? AND ?")
            .arg(soldbook::Price.sql(), soldbook::Qty.sql(), QLatin1String(soldbook::table),
                 soldbook::SoldDate.sql());
    return connection.scalar(sql, {conv::isoDate(first), conv::isoDate(last)}).toDouble();
}

} // namespace salestotal
