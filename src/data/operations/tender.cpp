// The counter's payment arithmetic, exact in Money.
#include "tender.h"

namespace tender {

namespace {

qint64 stepUnits(CashRounding rounding) {
    return rounding == CashRounding::FiveCents  ? Money::unitsPerOne / 20
           : rounding == CashRounding::TenCents ? Money::unitsPerOne / 10
                                                : 0;
}

Money minus(Money a, Money b) {
    return Money::fromUnits(a.units() - b.units());
}

std::optional<Money> amountTyped(const QString &text) {
    return Money::parse(text.trimmed());
}

// The amount rounded to the shop's cash step (0.05 or 0.10), halves up; unchanged for None.
Money roundCash(Money amount, CashRounding rounding) {
    const qint64 step = stepUnits(rounding);
    if (step == 0)
        return amount;
    const qint64 units = amount.units();
    const qint64 down = units >= 0 ? units / step * step : -((-units + step - 1) / step * step);
    return Money::fromUnits(units - down >= (step + 1) / 2 ? down + step : down);
}

} // namespace

QString shown(Money amount) {
    const qint64 units = amount.units();
    constexpr qint64 perCent = Money::unitsPerOne / 100;
    if (units % perCent != 0)
        return amount.text();
    const qint64 cents = (units < 0 ? -units : units) / perCent;
    return QStringLiteral("%1%2.%3")
        .arg(units < 0 ? QStringLiteral("-") : QString())
        .arg(cents / 100)
        .arg(cents % 100, 2, 10, QLatin1Char('0'));
}

Money dueIn(MethodKind kind, Money remaining, CashRounding rounding) {
    return kind == MethodKind::Cash ? roundCash(remaining, rounding) : remaining;
}

std::variant<Taken, QString> take(MethodKind kind, Money remaining, CashRounding rounding,
                                  const QString &amountText, const QString &tenderedText) {
    const Money due = dueIn(kind, remaining, rounding);
    Taken taken;
    if (amountText.trimmed().isEmpty()) {
        taken.amount = due;
    } else if (const auto amount = amountTyped(amountText)) {
        taken.amount = *amount;
    } else {
        return QStringLiteral("The amount \"%1\" is not an amount of money. Type how much this "
                              "payment pays, such as 12.50.")
            .arg(amountText);
    }
    if (taken.amount <= Money())
        return QStringLiteral("A payment pays more than 0. Type how much this payment pays.");
    if (taken.amount > due)
        return QStringLiteral("The amount %1 is more than is due (%2). Type at most %2.")
            .arg(taken.amount.text(), due.text());
    taken.tendered = taken.amount;
    if (kind == MethodKind::Cash && !tenderedText.trimmed().isEmpty()) {
        const auto tendered = amountTyped(tenderedText);
        if (!tendered)
            return QStringLiteral("The cash tendered \"%1\" is not an amount of money. Type what "
                                  "the customer hands over, such as 20.")
                .arg(tenderedText);
        if (*tendered < Money())
            return QStringLiteral("The cash tendered cannot be below 0. Type what the customer "
                                  "hands over, such as 20.");
        if (*tendered < taken.amount)
            return QStringLiteral("The cash tendered (%1) is less than the amount due (%2). Type "
                                  "what the customer hands over, or lower the amount to take "
                                  "the rest another way.")
                .arg(tendered->text(), taken.amount.text());
        taken.tendered = *tendered;
    }
    taken.given = minus(taken.tendered, taken.amount);
    taken.settles = taken.amount == due;
    if (taken.settles && due != remaining)
        taken.rounding = minus(due, remaining);
    return taken;
}

} // namespace tender
