// The counter's side of customer orders: an order collected is rung up as a sale, its deposit
// paying part of it.
#include "sellscreen.h"

#include "clock.h"
#include "counterpayments.h"
#include "countersession.h"
#include "customerorders.h"
#include "engine.h"
#include "errorpolicy.h"
#include "messageboxes.h"
#include "orderlists.h"
#include "shopsession.h"

#include <QInputDialog>
#include <QLabel>

void SellScreen::collectOrder(std::optional<qint64> orderNo) {
    if (!orderNo) {
        bool ok = false;
        const int typed = QInputDialog::getInt(this, QStringLiteral("Collect Order"),
                                               QStringLiteral("Customer order &number:"), 1, 1,
                                               std::numeric_limits<int>::max(), 1, &ok);
        if (!ok)
            return;
        orderNo = typed;
    }
    if (!sessions_->readyToSell())
        return;
    std::optional<CustomerOrder> order;
    if (!policy::reportOnError(*context_.messages, [&] {
            order = shop::customerOrder(session_->connection(), *orderNo);
            if (order->state != OrderState::Arrived && order->state != OrderState::Told)
                throw DataError(QStringLiteral("Customer order %1 is %2: only an order whose "
                                               "copies have arrived is collected.")
                                    .arg(*orderNo)
                                    .arg(orderstates::caption(order->state)));
        }))
        return;
    // Rung up at the order's price, as any sale: the copies leave the shelf.
    showLookup({order->bookNo, order->isbn, order->title, order->price, order->quantity},
               order->price, std::nullopt);
    if (!bookLookedUp())
        return;
    policy::reportOnError(
        *context_.messages,
        [&] {
            const QDateTime now = context_.clock->now();
            const std::optional<TillSession> &open = sessions_->current();
            shop::collect(*session_, *orderNo,
                          payments_->enabled() ? payments_->receipt().record().id : QString(), now,
                          open ? open->id : 0);
            if (payments_->enabled())
                for (const auto &[method, amount] :
                     shop::depositsUsed(session_->connection(), *orderNo))
                    payments_->payByDeposit(method, amount);
        },
        QStringLiteral("The copies are on the receipt: void the line (F6) if the order is not "
                       "to be collected."));
}

void SellScreen::showOrdersOf(qint64 bookNo) {
    QStringList orders;
    policy::skipOnError([&] {
        Connection &connection = session_->connection();
        if (!hasOrders_)
            hasOrders_ =
                !connection.columnsOf(QLatin1String(tables::customerorders::table)).empty();
        if (!*hasOrders_)
            return; // a shop older than customer orders
        for (const CustomerOrder &order : shop::openOrdersOf(connection, bookNo))
            orders << QStringLiteral("%1 %2 (%3)")
                          .arg(order.orderNo)
                          .arg(order.customer, orderstates::caption(order.state));
    });
    ordersHint_->setText(orders.isEmpty() ? QString()
                                          : QStringLiteral("Customer orders of this title: %1. "
                                                           "F5 collects one.")
                                                .arg(orders.join(QStringLiteral(", "))));
}
