// The steps customer orders share, in statements of the shop's form that both engines take. A
// move changes the order's state only from the states the move allows, in one statement: a
// second till making the same move at once finds the state already moved.
#include "orderwork.h"

#include "connection.h"
#include "conversions.h"
#include "receipts.h"
#include "shoptables.h"

#include <QUuid>

namespace shop::orderwork {

const QStringList &changedTables() {
    static const QStringList tables{tables::customerorders::table, tables::orderhistory::table,
                                    tables::heldcopies::table,     tables::orderholds::table,
                                    tables::orderdeposits::table,  tables::Titles::table};
    return tables;
}

QString stateList(std::span<const OrderState> states) {
    QStringList quoted;
    for (OrderState state : states)
        quoted << QLatin1Char('\'') + orderstates::stored(state) + QLatin1Char('\'');
    return quoted.join(QStringLiteral(", "));
}

QString openStates() {
    static const OrderState open[] = {OrderState::Requested, OrderState::Ordered,
                                      OrderState::Arrived, OrderState::Told};
    return stateList(open);
}

Refusal refusedMove(Connection &connection, qint64 orderNo, OrderState to) {
    const QVariant now = connection.scalar(
        QStringLiteral("SELECT [State] FROM [customerorders] WHERE [OrderNo] = ?1"), {orderNo});
    if (!now.isValid())
        return Refusal(QStringLiteral("There is no customer order %1 in this shop.").arg(orderNo));
    const OrderState state = orderstates::fromStored(now.toString()).value_or(to);
    if (state == to)
        return Refusal(QStringLiteral("Customer order %1 is %2 already.")
                           .arg(orderNo)
                           .arg(orderstates::caption(state)));
    if (to == OrderState::Collected && !orderstates::finished(state))
        return Refusal(QStringLiteral("Customer order %1 is %2: it can be collected only once "
                                      "its copies have arrived.")
                           .arg(orderNo)
                           .arg(orderstates::caption(state)));
    return Refusal(QStringLiteral("Customer order %1 is %2: it cannot be made %3.")
                       .arg(orderNo)
                       .arg(orderstates::caption(state), orderstates::caption(to)));
}

QVariant thisTillName(Connection &connection) {
    const std::optional<Till> till = thisTill(connection);
    return till ? QVariant(till->name) : QVariant();
}

void changeState(Connection &connection, qint64 orderNo, OrderState to, const QDateTime &at,
                 std::optional<ToldBy> how) {
    if (connection.write(QStringLiteral("UPDATE [customerorders] SET [State] = ?2, [Changed] = ?3 "
                                        "WHERE [OrderNo] = ?1 AND [State] IN (%1)")
                             .arg(stateList(orderstates::from(to))),
                         {orderNo, orderstates::stored(to), conv::isoMoment(at)}) != 1)
        throw refusedMove(connection, orderNo, to);
    connection.write(
        QStringLiteral(
            "INSERT INTO [orderhistory] ([OrderNo], [State], [ChangedAt], [Till], [Login], [Told]) "
            "VALUES (?1, ?2, ?3, ?4, ?5, ?6)"),
        {orderNo, orderstates::stored(to), conv::isoMoment(at), thisTillName(connection),
         connection.dialect().login(connection),
         how ? QVariant(orderstates::stored(*how)) : QVariant()});
}

void releaseHold(Connection &connection, qint64 orderNo) {
    Statement hold = connection.prepare(
        QStringLiteral("SELECT [BOOKNO], [Copies] FROM [orderholds] WHERE [OrderNo] = ?1"));
    hold.bindAll({orderNo});
    if (!hold.step())
        return;
    const QVariantList held{hold.value(0), hold.value(1)};
    hold.step();
    connection.write(
        QStringLiteral("UPDATE [heldcopies] SET [Held] = [Held] - ?2 WHERE [BOOKNO] = ?1"), held);
    connection.write(QStringLiteral("DELETE FROM [orderholds] WHERE [OrderNo] = ?1"), {orderNo});
}

QString newId() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

void recordDeposit(Connection &connection, const QString &kind, const DepositMoney &money,
                   const QVariant &receipt) {
    connection.write(
        QStringLiteral(
            "INSERT INTO [orderdeposits] ([Movement], [OrderNo], [Kind], [Session], [Method], "
            "[Receipt], [Amount], [MovedAt], [Login]) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)"),
        {money.id, money.orderNo, kind, money.session ? QVariant(money.session) : QVariant(),
         money.method ? QVariant(money.method) : QVariant(), receipt, money.amount.toDouble(),
         conv::isoMoment(money.at), connection.dialect().login(connection)});
}

void requireTill(Connection &connection, const DepositMoney &money) {
    if (money.amount <= Money())
        throw Refusal(QStringLiteral("A deposit must be more than 0."));
    const QVariant removed = connection.scalar(
        QStringLiteral("SELECT [Removed] FROM [paymentmethods] WHERE [Method] = ?1"),
        {money.method});
    if (!removed.isValid() || removed.toInt() != 0)
        throw Refusal(QStringLiteral("Choose a payment method in use."));
    // This till's own session, open: its drawer takes the money.
    const std::optional<Till> till = thisTill(connection);
    const QVariant open = connection.scalar(
        QStringLiteral("SELECT count(*) FROM [tillsessions] WHERE [Session] = ?1 AND [Till] = ?2 "
                       "AND [Closed] IS NULL"),
        {money.session, till ? QVariant(till->id) : QVariant()});
    if (open.toInt() != 1)
        throw Refusal(QStringLiteral("Money of a deposit moves in this till's open session: count "
                                     "the float to open one first."));
}

// Empties the order's deposit, in one change that finds it as it is now.
Money takeDepositOff(Connection &connection, qint64 orderNo) {
    const Money deposit = customerOrder(connection, orderNo).deposit;
    if (deposit > Money()) {
        connection.write(
            QStringLiteral("UPDATE [customerorders] SET [Deposit] = 0 WHERE [OrderNo] = ?1"),
            {orderNo});
    }
    return deposit;
}

} // namespace shop::orderwork
