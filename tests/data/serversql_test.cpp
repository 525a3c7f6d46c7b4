// The shop's SQLite-form statements as the server takes them.
#include "serversql.h"

#include <gtest/gtest.h>

TEST(ServerSql, TranslatesNamesParametersAndTheShopsForms) {
    const struct {
        const char *sqlite;
        const char *server;
    } cases[] = {
        // Names in any case, bracketed or quoted, to lower case; literals untouched.
        {"SELECT [Invoice No], \"Fee\" FROM [Bill] WHERE Retail = '[O''Hara] ?'",
         "SELECT \"invoice no\", \"fee\" FROM \"bill\" WHERE Retail = '[O''Hara] ?'"},
        // Parameters numbered or not.
        {"UPDATE Titles SET Qty = Qty - ? WHERE BOOKNO = ?",
         "UPDATE Titles SET Qty = Qty - $1 WHERE BOOKNO = $2"},
        {"SELECT ISBN FROM Titles WHERE ISBN >= ?1 ORDER BY ISBN LIMIT 1",
         "SELECT ISBN FROM Titles WHERE ISBN >= $1 ORDER BY ISBN LIMIT 1"},
        // A record source: every column but the hidden ones, in the order rows were stored,
        // and rows that sort alike in that order too.
        {"SELECT rowid, * FROM [tmp]",
         "SELECT rowid, \"a\",\"b\",\"c\" FROM \"tmp\" ORDER BY rowid"},
        {"select rowid,  * from Bill where Retail='x'",
         "select rowid,  \"invoice no\",\"invoice date\",\"fee\",\"invoice time\",\"retail\" from "
         "Bill where Retail='x' ORDER BY rowid"},
        {"select rowid, * from tmp order by val(C) DESC",
         "select rowid, \"a\",\"b\",\"c\" from tmp order by val(C) DESC, rowid"},
        // A product is not a column list.
        {"SELECT total(Price * Qty), ifnull(Qty, 0) FROM soldbook",
         "SELECT sum(Price * Qty), coalesce(Qty, 0) FROM soldbook"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(serversql::translate(QString::fromUtf8(c.sqlite)).sql,
                  QString::fromUtf8(c.server))
            << c.sqlite;

    EXPECT_EQ(serversql::shopName("year published"), "Year Published");
    EXPECT_EQ(serversql::translate("SELECT sum(Qty) AS Copies FROM soldbook").names.value("copies"),
              "Copies");
}
