// The query dialect's translation and the quoting helper.
#include "dataerror.h"
#include "dialect.h"

#include <gtest/gtest.h>

TEST(Dialect, BareTableNameSelectsTheWholeTable) {
    const auto q = dialect::translate("OnSale");
    EXPECT_EQ(q.table, "OnSale");
    EXPECT_EQ(q.sql, "SELECT rowid, * FROM [OnSale]");
    EXPECT_EQ(dialect::translate("tempPay").table, "tempPay");
}

TEST(Dialect, DateLiteralsBecomeStoredDates) {
    const auto q = dialect::translate(
        "select * from soldbook where SoldDate >=#2001/5/1#  and  SoldDate <=#2001/5/31#order by "
        "SoldDate");
    EXPECT_EQ(q.table, "soldbook");
    EXPECT_TRUE(q.sql.contains("'2001-05-01'"));
    EXPECT_TRUE(q.sql.contains("'2001-05-31' order by"));
    EXPECT_TRUE(q.sql.startsWith("select rowid,"));
}

TEST(Dialect, QuotedTextIsLeftAlone) {
    const auto q = dialect::translate("select * from Bill where Retail='Shop #1 ''best'' from x'");
    EXPECT_EQ(q.table, "Bill");
    EXPECT_TRUE(q.sql.contains("'Shop #1 ''best'' from x'"));
}

TEST(Dialect, BracketedTableAndFieldNames) {
    const auto q = dialect::translate("select [Invoice No] from [Bill] Order by [Invoice date]");
    EXPECT_EQ(q.table, "Bill");
}

TEST(Dialect, BrokenTextsAreDataErrors) {
    for (const char *text : {"", "select * from", "select * from Bill where Retail='x",
                             "select * from Bill where [Invoice Date]=#2001/13/40#"}) {
        EXPECT_THROW(dialect::translate(QString::fromLatin1(text)), DataError) << text;
    }
}

TEST(Dialect, QuoteDoublesEmbeddedQuotes) {
    EXPECT_EQ(dialect::quote("O'Hara Books"), "'O''Hara Books'");
    EXPECT_EQ(dialect::quote(""), "''");
    EXPECT_EQ(dialect::quote("'; DROP TABLE Titles; --"), "'''; DROP TABLE Titles; --'");
    EXPECT_EQ(dialect::dateLiteral(QDate(2001, 5, 3)), "#2001/5/3#");
}
