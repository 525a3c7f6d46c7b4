// The states of a customer order and the moves between them: one table that says which moves
// exist (the server refuses a till's login placing, cancelling or abandoning an order). Pure: no
// database.
#pragma once

#include <QString>

#include <optional>
#include <vector>

enum class OrderState { Requested, Ordered, Arrived, Told, Collected, Cancelled, Abandoned };

// How a customer was told that the order arrived.
enum class ToldBy { Phone, Email, InPerson };

struct OrderMove {
    OrderState from;
    OrderState to;
};

namespace orderstates {

// The move from one state to another, when it is one an order may make.
std::optional<OrderMove> move(OrderState from, OrderState to);
// The states an order may move to `to` from, as the table of moves has them.
std::vector<OrderState> from(OrderState to);
// Collected, cancelled and abandoned orders are finished: nothing moves them again.
bool finished(OrderState state);

// As the shop's tables keep them ("requested", "told", ...), and back.
QString stored(OrderState state);
std::optional<OrderState> fromStored(const QString &text);
// As the operator reads them ("customer told").
QString caption(OrderState state);

QString stored(ToldBy how);
QString caption(ToldBy how);

} // namespace orderstates
