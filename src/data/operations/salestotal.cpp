// Takings of the sales of a run of days.
#include "salestotal.h"

#include "connection.h"
#include "conversions.h"
#include "dataerror.h"
#include "shoptables.h"

namespace salestotal {

Money takings(Connection &connection, const QDate &first, const QDate &last) {
    // Summed exactly in ten-thousandths and handed over as text, so that no engine gives it
    // as a double: 10,000 sales of 0.1 make 1000. A sale lacking its price or quantity adds
    // nothing.
    namespace S = tables::soldbook;
    static const sqlb::Statement sum =
        sqlb::moneyTotal(S::table, S::Price, S::Qty).where(S::SoldDate, sqlb::Compare::Between);
    const QString units =
        connection.scalar(sum, {conv::isoDate(first), conv::isoDate(last)}).toString();
    bool ok = false;
    const qint64 total = units.toLongLong(&ok);
    if (!ok)
        throw DataError(QStringLiteral("The takings could not be added up (%1).").arg(units));
    return Money::fromUnits(total);
}

} // namespace salestotal
