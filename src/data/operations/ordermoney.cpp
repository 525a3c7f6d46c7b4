// The money of customer orders: deposits taken at a till, used at collection, given back or kept
// at cancelling; each with the order's move in one transaction.
#include "customerorders.h"

#include "connection.h"
#include "orderwork.h"

namespace shop {

using namespace orderwork;

namespace {

// The order's deposit money of one kind ("taken", "used"), summed by method, in methods' order.
std::vector<std::pair<qint64, Money>> byMethod(Connection &connection, qint64 orderNo,
                                               const QString &kind) {
    Statement select = connection.prepare(
        QStringLiteral("SELECT [Method], sum([Amount]) FROM [orderdeposits] WHERE [OrderNo] = ?1 "
                       "AND [Kind] = ?2 GROUP BY [Method] ORDER BY [Method]"));
    select.bindAll({orderNo, kind});
    std::vector<std::pair<qint64, Money>> amounts;
    while (select.step())
        amounts.emplace_back(select.value(0).toLongLong(), Money::orZero(select.value(1)));
    return amounts;
}

} // namespace

std::vector<std::pair<qint64, Money>> depositsUsed(Connection &connection, qint64 orderNo) {
    return byMethod(connection, orderNo, QStringLiteral("used"));
}

Money collect(ShopSession &session, qint64 orderNo, const QString &receipt, const QDateTime &at,
              qint64 tillSession) {
    Money used;
    orderWork(session, [&](Connection &connection) {
        changeState(connection, orderNo, OrderState::Collected, at);
        releaseHold(connection, orderNo);
        used = takeDepositOff(connection, orderNo);
        if (used == Money())
            return;
        // Used by each method as it was taken by, so that each method's drawer gives it up.
        for (const auto &[method, amount] : byMethod(connection, orderNo, QStringLiteral("taken")))
            recordDeposit(connection, QStringLiteral("used"),
                          {newId(), orderNo, tillSession, method, amount, at},
                          receipt.isEmpty() ? QVariant() : QVariant(receipt));
    });
    return used;
}

void cancel(ShopSession &session, qint64 orderNo, const QDateTime &at,
            const std::optional<DepositMoney> &refund) {
    orderWork(session, [&](Connection &connection) {
        changeState(connection, orderNo, OrderState::Cancelled, at);
        releaseHold(connection, orderNo);
        if (!refund)
            return; // a deposit stays on the order as the customer's credit
        DepositMoney back = *refund;
        back.orderNo = orderNo;
        back.amount = takeDepositOff(connection, orderNo);
        if (back.amount == Money())
            return;
        requireTill(connection, back);
        recordDeposit(connection, QStringLiteral("refunded"), back, QVariant());
    });
}

void takeDeposit(ShopSession &session, const DepositMoney &deposit) {
    if (deposit.amount <= Money())
        throw DataError(QStringLiteral("A deposit must be more than 0."));
    orderWork(session, [&](Connection &connection) {
        if (connection
                .scalar(QStringLiteral("SELECT count(*) FROM [orderdeposits] WHERE [Movement] = "
                                       "?1"),
                        {deposit.id})
                .toInt() > 0)
            return; // stored before
        requireTill(connection, deposit);
        const CustomerOrder order = customerOrder(connection, deposit.orderNo);
        if (orderstates::finished(order.state))
            throw Refusal(QStringLiteral("Customer order %1 is %2: it takes no deposit.")
                              .arg(order.orderNo)
                              .arg(orderstates::caption(order.state)));
        if (order.deposit + deposit.amount > order.total())
            throw Refusal(QStringLiteral("A deposit of %1 would bring the deposits on customer "
                                         "order %2 to more than its price of %3.")
                              .arg(deposit.amount.text())
                              .arg(order.orderNo)
                              .arg(order.total().text()));
        // Added to the deposit as stored now; the table refuses more than the price.
        if (connection.write(QStringLiteral("UPDATE [customerorders] SET [Deposit] = [Deposit] "
                                            "+ ?2 WHERE [OrderNo] = ?1 AND [State] IN (%1)")
                                 .arg(openStates()),
                             {deposit.orderNo, deposit.amount.toDouble()}) != 1)
            throw refusedMove(connection, deposit.orderNo, OrderState::Collected);
        recordDeposit(connection, QStringLiteral("taken"), deposit, QVariant());
    });
}

} // namespace shop
