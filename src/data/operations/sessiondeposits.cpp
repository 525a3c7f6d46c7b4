// The deposits of a session, from the rows of each deposit's money.
#include "sessiondeposits.h"

#include "connection.h"
#include "engine.h"
#include "shopsteps.h"

namespace shop {

void addDeposits(Connection &connection, SessionReport &report) {
    if (connection.columnsOf(QLatin1String(tables::orderdeposits::table)).empty())
        return;
    report.hasDeposits = true;
    Statement select = connection.prepare(QStringLiteral(
        "SELECT [Method], [Kind], sum([Amount]) FROM [orderdeposits] WHERE [Session] = ?1 GROUP "
        "BY [Method], [Kind]"));
    select.bindAll({report.session.id});
    while (select.step()) {
        const qint64 method = select.value(0).toLongLong();
        const QString kind = select.value(1).toString();
        const Money amount = Money::orZero(select.value(2));
        const bool taken = kind == QLatin1String("taken");
        Money &total = taken                           ? report.depositsTaken
                       : kind == QLatin1String("used") ? report.depositsUsed
                                                       : report.depositsRefunded;
        total += amount;
        const Money change = taken ? amount : Money::fromUnits(-amount.units());
        for (MethodFigures &figures : report.methods)
            if (figures.method == method) {
                figures.deposits += change;
                figures.expected += change;
            }
    }
}

} // namespace shop
