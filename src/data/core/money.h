// An amount of money, exact to the ten-thousandth: the one type in which the program adds,
// multiplies and shows prices, subtotals and takings. The shop file keeps amounts as doubles
// and the server as numeric(19,4); both are read into this type and summed here without the
// drift of adding doubles.
#pragma once

#include <QString>
#include <QVariant>
#include <QtGlobal>
#include <compare>
#include <optional>

class Money {
public:
    // Ten-thousandths in one unit of money, as the server's numeric(19,4) keeps them.
    static constexpr qint64 unitsPerOne = 10000;

    constexpr Money() = default;
    static constexpr Money fromUnits(qint64 units) {
        Money money;
        money.units_ = units;
        return money;
    }
    // A stored double rounded to the nearest ten-thousandth (halves away from zero); nullopt
    // for a value that is not a number or beyond what is kept exactly (900 billion either way).
    static std::optional<Money> fromDouble(double value);
    // An amount typed in the system's number format ("19.95"); nullopt when it is not one.
    static std::optional<Money> parse(const QString &text);
    // A value of a record set or a statement: a number, or text holding one; nullopt for
    // null and for anything else.
    static std::optional<Money> fromValue(const QVariant &value);
    // The same, where a stored amount that is empty or not one counts as 0.
    static Money orZero(const QVariant &value) { return fromValue(value).value_or(Money()); }

    qint64 units() const { return units_; }
    double toDouble() const { return static_cast<double>(units_) / unitsPerOne; }
    // The shortest decimal text, as the screens show numbers: 37.45, 300, -2, 0.
    QString text() const;
    // Rounded to the cent, halves away from zero, as a receipt prints it.
    Money roundedToCents() const;

    // Exact; an amount beyond the type's range throws DataError rather than wrapping round.
    Money operator+(Money other) const;
    Money &operator+=(Money other) { return *this = *this + other; }
    Money times(qint64 quantity) const;

    auto operator<=>(const Money &) const = default;

private:
    qint64 units_ = 0;
};
