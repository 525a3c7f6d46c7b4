// The moves of a customer order, as one table.
#include "orderstates.h"

#include <array>

namespace orderstates {

namespace {

using S = OrderState;

constexpr std::array<OrderMove, 13> kMoves{{
    {S::Requested, S::Ordered},
    {S::Requested, S::Arrived}, // copies came in before the order was placed
    {S::Requested, S::Cancelled},
    {S::Ordered, S::Arrived},
    {S::Ordered, S::Cancelled},
    {S::Arrived, S::Told},
    {S::Arrived, S::Collected}, // the customer came in before being told
    {S::Arrived, S::Cancelled},
    {S::Arrived, S::Abandoned},
    {S::Told, S::Told}, // told again, another way
    {S::Told, S::Collected},
    {S::Told, S::Cancelled},
    {S::Told, S::Abandoned},
}};

// As the shop's tables keep them, in the order of the enum.
constexpr std::array<const char *, 7> kStored{"requested", "ordered",   "arrived",  "told",
                                              "collected", "cancelled", "abandoned"};
static_assert(kStored.size() == static_cast<std::size_t>(S::Abandoned) + 1);
constexpr std::array<const char *, 3> kToldBy{"phone", "e-mail", "in person"};
static_assert(kToldBy.size() == static_cast<std::size_t>(ToldBy::InPerson) + 1);

} // namespace

std::optional<OrderMove> move(OrderState from, OrderState to) {
    for (const OrderMove &m : kMoves)
        if (m.from == from && m.to == to)
            return m;
    return std::nullopt;
}

std::vector<OrderState> from(OrderState to) {
    std::vector<OrderState> states;
    for (const OrderMove &m : kMoves)
        if (m.to == to)
            states.push_back(m.from);
    return states;
}

bool finished(OrderState state) {
    return state == S::Collected || state == S::Cancelled || state == S::Abandoned;
}

QString stored(OrderState state) {
    return QLatin1String(kStored[static_cast<std::size_t>(state)]);
}

std::optional<OrderState> fromStored(const QString &text) {
    for (std::size_t i = 0; i < kStored.size(); ++i)
        if (text == QLatin1String(kStored[i]))
            return static_cast<OrderState>(i);
    return std::nullopt;
}

QString caption(OrderState state) {
    return state == S::Told ? QStringLiteral("customer told") : stored(state);
}

QString stored(ToldBy how) {
    return QLatin1String(kToldBy[static_cast<std::size_t>(how)]);
}

QString caption(ToldBy how) {
    return stored(how);
}

} // namespace orderstates
