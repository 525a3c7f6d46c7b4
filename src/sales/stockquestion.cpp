// The question asked before selling more copies than are in stock, and its text.
#include "stockquestion.h"

#include "connection.h"
#include "engine.h"
#include "errorpolicy.h"
#include "messageboxes.h"
#include "orderlists.h"
#include "shopoperations.h"
#include "shopsession.h"
#include "shopsteps.h"

namespace {

QString copies(qint64 count) {
    return count == 1 || count == -1 ? QStringLiteral("%1 copy").arg(count)
                                     : QStringLiteral("%1 copies").arg(count);
}

// What the catalogue holds and where the count ends.
QString question(const QString &title, qint64 inStock, qint64 selling) {
    const QString holds =
        inStock > 0 ? QStringLiteral("The catalogue has only %1 of \"%2\" in stock.")
                          .arg(copies(inStock), title)
                    : QStringLiteral("The catalogue has no copy of \"%1\" in stock (its count "
                                     "is %2).")
                          .arg(title)
                          .arg(inStock);
    return holds + QStringLiteral(" Selling %1 takes the count to %2.\n\nPress OK to sell them "
                                  "anyway (the count may be wrong), or Cancel to leave the sale "
                                  "unrecorded on the screen.")
                       .arg(copies(selling))
                       .arg(inStock - selling);
}

// Copies set aside for customer orders are not for sale to someone else: when the sale would
// take one, the counter names the orders they are kept for.
bool heldAllow(ShopSession &session, MessageBoxes &messages, const SaleLine &sale) {
    Connection &connection = session.connection();
    if (connection.columnsOf(QLatin1String(tables::heldcopies::table)).empty())
        return true; // a shop older than customer orders
    const OrderTitle copiesNow = shop::copiesOf(connection, sale.bookNo);
    if (copiesNow.held == 0 || copiesNow.free() >= sale.quantity)
        return true;
    QStringList keptFor;
    for (const CustomerOrder &order : shop::openOrdersOf(connection, sale.bookNo))
        if (order.state == OrderState::Arrived || order.state == OrderState::Told)
            keptFor << QStringLiteral("%1 (%2)").arg(order.orderNo).arg(order.customer);
    return messages.confirm(
        QStringLiteral("Only %1 of \"%2\" %3 free: %4 set aside for customer %5 %6.\n\nIs "
                       "this the customer who ordered it? Press OK to sell it, or Cancel to "
                       "leave the sale unrecorded on the screen.")
            .arg(copies(std::max<qint64>(copiesNow.free(), 0)), sale.title,
                 copiesNow.free() == 1 ? QStringLiteral("is") : QStringLiteral("are"),
                 copies(copiesNow.held),
                 keptFor.size() == 1 ? QStringLiteral("order") : QStringLiteral("orders"),
                 keptFor.join(QStringLiteral(", "))));
}

} // namespace

namespace stockquestion {

bool allows(ShopSession &session, MessageBoxes &messages, const SaleLine &sale) {
    std::optional<qint64> stock;
    policy::skipOnError([&] { stock = shop::stockOf(session, sale.bookNo); });
    if (!stock || sale.quantity <= 0)
        return true;
    if (*stock < sale.quantity)
        return messages.confirm(question(sale.title, *stock, sale.quantity));
    bool allowed = true;
    policy::skipOnError([&] { allowed = heldAllow(session, messages, sale); });
    return allowed;
}

} // namespace stockquestion
