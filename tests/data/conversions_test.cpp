// Typed text to stored values and back, per column kind.
#include "conversions.h"
#include "dataerror.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(Conversions, NumbersShowAsTheirShortestText) {
    const std::pair<double, const char *> cases[] = {
        {1234.5, "1234.5"},
        {300, "300"},
        {0, "0"},
        {-0.0, "0"},
        {37.5, "37.5"},
        {-2, "-2"},
        {0.1 + 0.2, "0.3"},
        {75.5, "75.5"},
        {HUGE_VAL, "(out of range)"},
        {-HUGE_VAL, "(out of range)"},
        {NAN, "(out of range)"},
    };
    for (const auto &[value, shown] : cases)
        EXPECT_EQ(conv::numberText(value), QString::fromLatin1(shown)) << value;
}

TEST(Conversions, DateTextHasNoLeadingZeros) {
    EXPECT_EQ(conv::dateText(QDate(2001, 5, 3)), "2001/5/3");
    EXPECT_EQ(conv::dateText(QDate(2026, 12, 17)), "2026/12/17");
    EXPECT_EQ(conv::parseDate("2001/5/3"), QDate(2001, 5, 3));
    EXPECT_EQ(conv::parseDate("2001-05-03"), QDate(2001, 5, 3));
    EXPECT_FALSE(conv::parseDate("5/3").isValid());
    EXPECT_FALSE(conv::parseDate("2001/13/3").isValid());
}

TEST(Conversions, ValReadsTheLeadingNumber) {
    const std::pair<const char *, double> cases[] = {
        {"10", 10}, {"9", 9}, {" 12abc", 12}, {"abc", 0}, {"", 0}, {"-3.5x", -3.5}, {"1e3", 1000},
    };
    for (const auto &[text, value] : cases)
        EXPECT_DOUBLE_EQ(conv::leadingNumber(QString::fromLatin1(text)), value) << text;
}

struct StorageCase {
    ColumnKind kind;
    QVariant typed;
    QVariant stored; // invalid QVariant: expect null
};

TEST(Conversions, TypedTextIsStoredInTheColumnsKind) {
    const StorageCase cases[] = {
        {ColumnKind::Money, "12.5", 12.5},
        {ColumnKind::Money, " 300 ", 300.0},
        {ColumnKind::Money, "-0", -0.0},
        {ColumnKind::Money, "", QVariant()},
        {ColumnKind::Money, "   ", QVariant()},
        {ColumnKind::Whole, "17", qlonglong(17)},
        {ColumnKind::Whole, "2.5", qlonglong(2)}, // halves to even
        {ColumnKind::Whole, "3.5", qlonglong(4)},
        {ColumnKind::Whole, -3, qlonglong(-3)},
        {ColumnKind::Date, "2001/5/3", "2001-05-03"},
        {ColumnKind::Date, QDate(2026, 1, 9), "2026-01-09"},
        // Years of one or two digits as the short date reads them; four digits as typed.
        {ColumnKind::Date, "01/5/3", "2001-05-03"},
        {ColumnKind::Date, "29/12/31", "2029-12-31"},
        {ColumnKind::Date, "30/1/1", "1930-01-01"},
        {ColumnKind::Date, "99-12-31", "1999-12-31"},
        {ColumnKind::Date, "0/1/2", "2000-01-02"},
        {ColumnKind::Date, "1999/1/2", "1999-01-02"},
        {ColumnKind::Money, "90000000000000", 9.0e13},
        {ColumnKind::Money, "-90000000000000", -9.0e13},
        {ColumnKind::Time, QTime(9, 5, 7), "09:05:07"},
        {ColumnKind::Time, "14:30", "14:30:00"},
        {ColumnKind::Text, "O'Hara Books", "O'Hara Books"},
        {ColumnKind::Text, "", ""},
    };
    for (const auto &c : cases) {
        const QVariant stored = conv::toStorage(c.kind, c.typed, "F");
        if (!c.stored.isValid())
            EXPECT_TRUE(stored.isNull()) << c.typed.toString().toStdString();
        else
            EXPECT_EQ(stored, c.stored) << c.typed.toString().toStdString();
    }
}

TEST(Conversions, TextThatDoesNotConvertIsADataError) {
    const std::pair<ColumnKind, const char *> cases[] = {
        {ColumnKind::Money, "abc"},
        {ColumnKind::Money, "12,5x"},
        {ColumnKind::Whole, "x1"},
        {ColumnKind::Money, "1e400"},
        {ColumnKind::Date, "tomorrow"},
        {ColumnKind::Date, "2001/2/30"},
        {ColumnKind::Time, "25:00"},
        {ColumnKind::Whole, "1e308"},
        // Money the double cannot hold to the cent, or no number at all.
        {ColumnKind::Money, "1e308"},
        {ColumnKind::Money, "90000000000001"},
        {ColumnKind::Money, "-1e14"},
        {ColumnKind::Money, "inf"},
        {ColumnKind::Money, "nan"},
        {ColumnKind::Whole, "nan"},
    };
    for (const auto &[kind, text] : cases) {
        try {
            conv::toStorage(kind, QString::fromLatin1(text), "Fee");
            ADD_FAILURE() << "accepted " << text;
        } catch (const DataError &error) {
            EXPECT_TRUE(error.description().contains("Fee")) << error.what();
        }
    }
}

TEST(Conversions, StoredValuesShowAsTheShopReadsThem) {
    EXPECT_EQ(conv::displayText(ColumnKind::Date, "2001-05-03"), "2001/5/3");
    EXPECT_EQ(conv::displayText(ColumnKind::Money, 12.5), "12.5");
    EXPECT_EQ(conv::displayText(ColumnKind::Money, qlonglong(300)), "300");
    EXPECT_EQ(conv::displayText(ColumnKind::Time, "09:05:07"), "09:05:07");
    EXPECT_EQ(conv::displayText(ColumnKind::Money, QVariant()), "");
    EXPECT_EQ(conv::displayText(ColumnKind::Text, "2001/5/3"), "2001/5/3");
}
