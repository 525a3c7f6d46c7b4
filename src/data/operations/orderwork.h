// The steps customer orders share (customerorders.cpp, ordermoney.cpp): the one conditional
// change of an order's state with its history, the copies set aside given back, the rows of a
// deposit's money, and the transaction each operation runs in. Not for use outside the orders.
#pragma once

#include "customerorders.h"
#include "refusablework.h"
#include "shopsession.h"

#include <QStringList>
#include <QVariant>

#include <span>

namespace shop::orderwork {

const QStringList &changedTables();
// The states as a list for IN (...): the program's own words, never typed text.
QString stateList(std::span<const OrderState> states);
QString openStates();

// Why the move was not made: the order is not there, or its state does not allow it now.
Refusal refusedMove(Connection &connection, qint64 orderNo, OrderState to);
// The name of the till this connection sells at; null for a login at no till.
QVariant thisTillName(Connection &connection);
// The one conditional change of the order's state, and its line of history.
void changeState(Connection &connection, qint64 orderNo, OrderState to, const QDateTime &at,
                 std::optional<ToldBy> how = std::nullopt);
// The order's copies set aside go back to the free stock.
void releaseHold(Connection &connection, qint64 orderNo);
QString newId();
void recordDeposit(Connection &connection, const QString &kind, const DepositMoney &money,
                   const QVariant &receipt);
// Money moves by a method in use, in a session still open.
void requireTill(Connection &connection, const DepositMoney &money);
// Empties the order's deposit; returns what it held.
Money takeDepositOff(Connection &connection, qint64 orderNo);

// Runs the work in one transaction; a refusal keeps its sentence, another failure says that
// nothing changed.
template <typename Work> void orderWork(ShopSession &session, Work &&work) {
    refusableWork(session, changedTables(),
                  QStringLiteral("The customer order was not changed: %1."),
                  std::forward<Work>(work));
}

} // namespace shop::orderwork
