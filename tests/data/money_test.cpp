// Money to the ten-thousandth: read from stored doubles and typed text, summed and multiplied
// exactly, shown as the screens show numbers (the receipt's cents are tested with it).
#include "dataerror.h"
#include "money.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

TEST(Money, ReadsStoredAndTypedAmountsToTheTenThousandth) {
    struct Case {
        QVariant value;
        std::optional<qint64> units;
        const char *shown;
    };
    const Case cases[] = {
        {19.95, 199500, "19.95"},
        {0.1 + 0.2, 3000, "0.3"},
        {qlonglong(-2), -20000, "-2"},
        {-0.0, 0, "0"},
        {1.23456, 12346, "1.2346"},
        {-1.23456, -12346, "-1.2346"},
        {0.00004, 0, "0"},
        {QStringLiteral("12.5"), 125000, "12.5"},
        {QStringLiteral(" 0.0001 "), 1, "0.0001"},
        {123456789.1234, 1234567891234, "123456789.1234"},
        {QStringLiteral("abc"), std::nullopt, ""},
        {QVariant(), std::nullopt, ""},
        {1e12, std::nullopt, ""}, // beyond what a double holds to the ten-thousandth
        {std::numeric_limits<double>::quiet_NaN(), std::nullopt, ""},
    };
    for (const Case &c : cases) {
        const std::optional<Money> money = Money::fromValue(c.value);
        ASSERT_EQ(money.has_value(), c.units.has_value()) << c.value.toString().toStdString();
        if (!money)
            continue;
        EXPECT_EQ(money->units(), *c.units) << c.value.toString().toStdString();
        EXPECT_EQ(money->text(), QString::fromLatin1(c.shown)) << c.value.toString().toStdString();
    }
}

TEST(Money, SumsAndProductsAreExact) {
    const Money tenth = *Money::fromDouble(0.1);
    Money sum;
    double doubles = 0;
    for (int sale = 0; sale < 10000; ++sale) {
        sum += tenth;
        doubles += 0.1;
    }
    EXPECT_EQ(sum, Money::fromUnits(1000 * Money::unitsPerOne));
    EXPECT_EQ(sum.text(), "1000");
    EXPECT_NE(doubles, 1000.0); // what the sum of doubles would have shown
    EXPECT_EQ((*Money::fromDouble(19.95) + *Money::fromDouble(17.5)).text(), "37.45");
    EXPECT_EQ(Money::fromDouble(12.5)->times(3).text(), "37.5");
    EXPECT_EQ(Money::fromDouble(0.35)->times(-3).text(), "-1.05");

    const Money largest = Money::fromUnits(std::numeric_limits<qint64>::max());
    EXPECT_THROW(largest + Money::fromUnits(1), DataError);
    EXPECT_THROW(largest.times(2), DataError);
    EXPECT_THROW(Money::fromUnits(std::numeric_limits<qint64>::min()).times(-1), DataError);
    EXPECT_EQ(Money::fromUnits(std::numeric_limits<qint64>::min()).text(), "-922337203685477.5808");
}
