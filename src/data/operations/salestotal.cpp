// Takings of the sales of a run of days.
#include "salestotal.h"

#include "connection.h"
#include "conversions.h"
#include "dataerror.h"
#include "shoptables.h"

namespace salestotal {

Money takings(Connection &connection, const QDate &first, const QDate &last) {
    // Each price is taken to the ten-thousandth as a whole number and the products are summed
    // as whole numbers, exactly on both engines: a sum of doubles drifts (10,000 sales of 0.1
    // are not 1000 in doubles). A sale lacking its price or quantity makes a null product,
    // which sum() leaves out. The total comes back as text, so that no engine hands it over
    // as a double.
    using namespace tables;
    static const QString sql =
        QStringLiteral("SELECT CAST(coalesce(sum(CAST(round(%1 * %2) AS BIGINT) * %3), 0) AS TEXT)"
                       " FROM %4 WHERE %5 BETWEEN ? AND ?")
            .arg(soldbook::Price.sql(), QString::number(Money::unitsPerOne), soldbook::Qty.sql(),
                 QLatin1String(soldbook::table), soldbook::SoldDate.sql());
    const QString units =
        connection.scalar(sql, {conv::isoDate(first), conv::isoDate(last)}).toString();
    bool ok = false;
    const qint64 total = units.toLongLong(&ok);
    if (!ok)
        throw DataError(QStringLiteral("The takings could not be added up (%1).").arg(units));
    return Money::fromUnits(total);
}

} // namespace salestotal
