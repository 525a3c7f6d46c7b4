// The moves of a customer order, as one table.
#include "orderstates.h"

#include <array>

namespace orderstates {

namespace {

using S = OrderState;

constexpr std::array<OrderMove, 13> kMoves{{
    {S::Requested, S::Ordered, true},
    {S::Requested, S::Arrived, false}, // copies came in before the order was placed
    {S::Requested, S::Cancelled, true},
    {S::Ordered, S::Arrived, false},
    {S::Ordered, S::Cancelled, true},
    {S::Arrived, S::Told, false},
    {S::Arrived, S::Collected, false}, // the customer came in before being told
    {S::Arrived, S::Cancelled, true},
    {S::Arrived, S::Abandoned, true},
    {S::Told, S::Told, false}, // told again, another way
    {S::Told, S::Collected, false},
    {S::Told, S::Cancelled, true},
    {S::Told, S::Abandoned, true},
}};

constexpr std::array<S, 0> kNone{};
constexpr std::array<S, 1> kToOrdered{S::Requested};
constexpr std::array<S, 2> kToArrived{S::Requested, S::Ordered};
constexpr std::array<S, 2> kToTold{S::Arrived, S::Told};
constexpr std::array<S, 2> kToCollected{S::Arrived, S::Told};
constexpr std::array<S, 4> kToCancelled{S::Requested, S::Ordered, S::Arrived, S::Told};
constexpr std::array<S, 2> kToAbandoned{S::Arrived, S::Told};

} // namespace

std::span<const OrderMove> moves() {
    return kMoves;
}

std::optional<OrderMove> move(OrderState from, OrderState to) {
    for (const OrderMove &m : kMoves)
        if (m.from == from && m.to == to)
            return m;
    return std::nullopt;
}

std::span<const OrderState> from(OrderState to) {
    switch (to) {
    case S::Requested:
        return kNone;
    case S::Ordered:
        return kToOrdered;
    case S::Arrived:
        return kToArrived;
    case S::Told:
        return kToTold;
    case S::Collected:
        return kToCollected;
    case S::Cancelled:
        return kToCancelled;
    case S::Abandoned:
        return kToAbandoned;
    }
    return kNone;
}

bool finished(OrderState state) {
    return state == S::Collected || state == S::Cancelled || state == S::Abandoned;
}

QString stored(OrderState state) {
    switch (state) {
    case S::Requested:
        return QStringLiteral("requested");
    case S::Ordered:
        return QStringLiteral("ordered");
    case S::Arrived:
        return QStringLiteral("arrived");
    case S::Told:
        return QStringLiteral("told");
    case S::Collected:
        return QStringLiteral("collected");
    case S::Cancelled:
        return QStringLiteral("cancelled");
    case S::Abandoned:
        return QStringLiteral("abandoned");
    }
    return {};
}

std::optional<OrderState> fromStored(const QString &text) {
    for (S state :
         {S::Requested, S::Ordered, S::Arrived, S::Told, S::Collected, S::Cancelled, S::Abandoned})
        if (stored(state) == text)
            return state;
    return std::nullopt;
}

QString caption(OrderState state) {
    return state == S::Told ? QStringLiteral("customer told") : stored(state);
}

QString stored(ToldBy how) {
    switch (how) {
    case ToldBy::Phone:
        return QStringLiteral("phone");
    case ToldBy::Email:
        return QStringLiteral("e-mail");
    case ToldBy::InPerson:
        return QStringLiteral("in person");
    }
    return {};
}

QString caption(ToldBy how) {
    return stored(how);
}

} // namespace orderstates
