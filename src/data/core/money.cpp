// Money: reading amounts in, exact sums and products, and the texts they are shown in.
#include "money.h"

#include "conversions.h"
#include "dataerror.h"

#include <cmath>

namespace {

// Beyond this a double no longer tells ten-thousandths apart (2^53 of them).
constexpr double largestExact = 9.0e11;

[[noreturn]] void outOfRange() {
    throw DataError(QStringLiteral("The amount is too large to be worked out exactly."));
}

} // namespace

std::optional<Money> Money::fromDouble(double value) {
    if (!std::isfinite(value) || std::fabs(value) > largestExact)
        return std::nullopt;
    return fromUnits(std::llround(value * unitsPerOne));
}

std::optional<Money> Money::parse(const QString &text) {
    const auto number = conv::parseNumber(text);
    return number ? fromDouble(*number) : std::nullopt;
}

std::optional<Money> Money::fromValue(const QVariant &value) {
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
        return fromDouble(static_cast<double>(value.toLongLong()));
    case QMetaType::Double:
        return fromDouble(value.toDouble());
    default:
        return parse(value.toString());
    }
}

QString Money::text() const {
    const bool negative = units_ < 0;
    // Read as unsigned so that the smallest amount has a magnitude too.
    const quint64 magnitude =
        negative ? 0 - static_cast<quint64>(units_) : static_cast<quint64>(units_);
    constexpr quint64 perOne = unitsPerOne;
    QString shown = QString::number(magnitude / perOne);
    quint64 fraction = magnitude % perOne;
    if (fraction != 0) {
        int digits = 4;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --digits;
        }
        shown += QLatin1Char('.') + QString::number(fraction).rightJustified(digits, u'0');
    }
    return negative ? QLatin1Char('-') + shown : shown;
}

Money Money::roundedToCents() const {
    constexpr qint64 perCent = unitsPerOne / 100;
    const qint64 rest = units_ % perCent; // takes the sign of the amount
    qint64 cents = units_ - rest;
    if (2 * rest >= perCent)
        cents += perCent;
    else if (2 * rest <= -perCent)
        cents -= perCent;
    return fromUnits(cents);
}

Money Money::operator+(Money other) const {
    qint64 sum = 0;
    if (__builtin_add_overflow(units_, other.units_, &sum))
        outOfRange();
    return fromUnits(sum);
}

Money Money::times(qint64 quantity) const {
    qint64 product = 0;
    if (__builtin_mul_overflow(units_, quantity, &product))
        outOfRange();
    return fromUnits(product);
}
