// A till's sessions, their X and Z reports.
#include "tillsessions.h"

#include "dataerror.h"

Money SessionReport::net() const {
    return Money::fromUnits(sales.units() - voided.units() - refunded.units());
}

bool SessionReport::spansDays() const {
    return session.opened.date() != (session.closed.isValid() ? session.closed.date()
                                                              : QDate::currentDate());
}

namespace shop {

std::optional<TillSession> openSessionOf(Connection &, qint64) {
    throw DataError(QStringLiteral("not yet"));
}
TillSession sessionById(Connection &, qint64) {
    throw DataError(QStringLiteral("not yet"));
}
std::vector<TillSession> sessions(Connection &, const QDate &, const QDate &) {
    throw DataError(QStringLiteral("not yet"));
}
TillSession openSession(ShopSession &, const SessionOpening &) {
    throw DataError(QStringLiteral("not yet"));
}
void moveCash(ShopSession &, const CashMovementRecord &) {
    throw DataError(QStringLiteral("not yet"));
}
SessionReport xReport(ShopSession &, qint64, const QDateTime &) {
    throw DataError(QStringLiteral("not yet"));
}
SessionReport closeSession(ShopSession &, const SessionClosing &) {
    throw DataError(QStringLiteral("not yet"));
}
SessionReport zReport(Connection &, qint64) {
    throw DataError(QStringLiteral("not yet"));
}

} // namespace shop
