// SQL written as text, read as tokens on both engines: what the shop gets back, what each
// engine is sent, and what is refused; and the statements the program builds.
#include "connection.h"
#include "dataerror.h"
#include "pgdialect.h"
#include "recordsource.h"
#include "shopsession.h"
#include "shoptables.h"
#include "sqlitedialect.h"
#include "testsupport.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

// The values of a record source's first field, joined by commas.
QString firstFields(const ShopDatabase &shop, const QString &text) {
    RecordSource source("source", shop);
    source.open(text);
    QStringList values;
    for (int row = 0; row < source.recordCount(); ++row)
        values << source.textAt(row, 0);
    return values.join(',');
}

QString failure(const std::function<void()> &run) {
    try {
        run();
    } catch (const DataError &error) {
        return error.description();
    }
    return QStringLiteral("no DataError");
}

// What the shop gets back where the statements' text was once rewritten by pattern: the same
// on both engines.
TEST(QueryText, BothEnginesGiveTheSameAnswer) {
    const struct {
        const char *what;
        std::function<QString(TestDatabase &)> run;
        const char *expected;
    } cases[] = {
        {"total() over no rows is 0.0, a real number",
         [](TestDatabase &db) {
             const QVariant total = db.scalar("SELECT total([Qty]) FROM soldbook WHERE [Qty] < 0");
             return QStringLiteral("%1 %2").arg(total.toString(), total.typeName());
         },
         "0 double"},
        {"a bare ? after ?2 takes the number after the largest",
         [](TestDatabase &db) {
             return db.connection().scalar("SELECT ?2 || ? || ?1", {"a", "b", "c"}).toString();
         },
         "bca"},
        {"a record source ending in ;",
         [](TestDatabase &db) {
             return firstFields(db.shop(), "select * from Bill order by [Invoice Date];");
         },
         "B-2,B-3,B-1"},
        {"a record source ending in a comment keeps the stored order",
         [](TestDatabase &db) {
             db.exec("UPDATE Bill SET Fee = 11 WHERE [Invoice No] = 'B-1'");
             return firstFields(db.shop(), "select * from Bill -- every bill");
         },
         "B-1,B-2,B-3"},
        {"every select * lists the table's own columns",
         [](TestDatabase &db) {
             Statement both =
                 db.connection().prepare("SELECT * FROM Subject UNION ALL SELECT * FROM Subject");
             return QString::number(both.columnCount());
         },
         "2"},
        {"an unclosed quote is refused alike",
         [](TestDatabase &db) { return failure([&] { db.scalar("SELECT 'abc"); }); },
         "Syntax error in query: unclosed ' in 'SELECT 'abc'."},
        {"values written into record sources fill no cache",
         [](TestDatabase &db) {
             auto session = ShopSession::open(db.shop());
             RecordSource source("source", session);
             for (int n = 0; n < 2000; ++n) {
                 source.open(QStringLiteral("select * from Titles where [ISBN]='%1'").arg(n));
                 session->connection().scalar(
                     QStringLiteral("SELECT count(*) FROM Titles WHERE [ISBN]='%1'").arg(n));
             }
             // Nor do the statements the program builds, beyond the few it keeps.
             for (int n = 1; n <= 100; ++n)
                 session->connection().scalar(
                     sqlb::select(tables::Titles::table, {tables::Titles::ISBN}).limitTo(n));
             return QStringLiteral("%1 %2")
                 .arg(session->connection().keptStatements())
                 .arg(session->connection().keptTexts());
         },
         "64 128"},
    };
    for (const auto &c : cases) {
        TestDatabase db;
        db.exec("INSERT INTO Bill VALUES ('B-1', '2001-05-03', 10, '09:00:00', 'Ace'), "
                "('B-2', '2001-05-01', 20, '09:00:00', 'Ace'), "
                "('B-3', '2001-05-02', 30, '09:00:00', 'Ace')");
        db.exec("INSERT INTO Subject VALUES ('1', 'Art')");
        EXPECT_EQ(c.run(db).toStdString(), c.expected) << c.what;
    }
}

// Each engine's text of a record source (R) or a statement (S), and the refusals.
TEST(QueryText, EachEngineIsSentItsOwnSql) {
    const struct {
        char grammar;
        const char *text;
        const char *file; // the file's SQL, or the start of the refusal
        const char *server;
    } cases[] = {
        {'R', "OnSale", "select rowid, [ISBN], [OnSale Price], [Begin], [End] from OnSale",
         "select rowid, \"isbn\", \"onsale price\", \"begin\", \"end\" from OnSale ORDER BY "
         "rowid"},
        {'R',
         "select * from soldbook where SoldDate >=#2001/5/1#  and  SoldDate <=#2001/5/31#order "
         "by SoldDate",
         "select rowid, [SoldDate], [SoldTime], [ISBN], [Title], [Price], [Qty] from soldbook "
         "where SoldDate >='2001-05-01'  and  SoldDate <='2001-05-31'order by SoldDate",
         "select rowid, \"solddate\", \"soldtime\", \"isbn\", \"title\", \"price\", \"qty\" from "
         "soldbook where SoldDate >='2001-05-01'  and  SoldDate <='2001-05-31'order by "
         "SoldDate, rowid"},
        {'R',
         "select [Invoice No],fee from [bill] where Retail='Shop #1 ''best'' -- x' Order "
         "by retail desc",
         "select rowid, [Invoice No],fee from [bill] where Retail='Shop #1 ''best'' -- x' Order "
         "by retail COLLATE SHOPTEXT desc",
         "select rowid, \"invoice no\",fee from \"bill\" where Retail='Shop #1 ''best'' -- x' "
         "Order by retail COLLATE \"shoptext\" desc, rowid"},
        {'R', "select * from tmp /* ranked */ order by VAL([C]) desc ;",
         "select rowid, [A], [B], [C] from tmp   order by VAL([C]) desc ",
         "select rowid, \"a\", \"b\", \"c\" from tmp   order by VAL(\"c\") desc, rowid "},
        {'S', "SELECT [Invoice No], \"Fee\" FROM Bill WHERE Retail = '[O''Hara] ?' -- ?",
         "SELECT [Invoice No], \"Fee\" FROM Bill WHERE Retail = '[O''Hara] ?'  ",
         "SELECT \"invoice no\", \"fee\" FROM Bill WHERE Retail = '[O''Hara] ?'  "},
        {'S', "UPDATE Titles SET Qty = Qty - ? WHERE BOOKNO == ?3;",
         "UPDATE Titles SET Qty = Qty - ?1 WHERE BOOKNO = ?3",
         "UPDATE Titles SET Qty = Qty - $1 WHERE BOOKNO = $3"},
        {'S', "SELECT total(Price * (Qty)) AS Sum, ifnull(Qty, 0), count(*) FROM soldbook",
         "SELECT total(Price * (Qty)) AS Sum, coalesce(Qty, 0), count(*) FROM soldbook",
         "SELECT coalesce(sum(Price * (Qty)), 0)::float8 AS Sum, coalesce(Qty, 0), count(*) "
         "FROM soldbook"},
        {'S', "SELECT t.*, s.Qty FROM Titles AS t JOIN soldbook s ON s.ISBN = t.ISBN",
         "SELECT t.*, s.Qty FROM Titles AS t JOIN soldbook s ON s.ISBN = t.ISBN",
         "SELECT t.\"bookno\", \"t\".\"isbn\", \"t\".\"title\", \"t\".\"author\", "
         "\"t\".\"subject\", \"t\".\"publisher\", \"t\".\"year published\", \"t\".\"fixed "
         "price\", \"t\".\"sale price\", \"t\".\"purchaseprice\", \"t\".\"qty\", "
         "\"t\".\"safeqty\", \"t\".\"retail\", s.Qty FROM Titles AS t JOIN soldbook s ON s.ISBN "
         "= t.ISBN"},
        {'S', "SELECT rowid, * FROM (SELECT * FROM tmp) AS x",
         "SELECT rowid, * FROM (SELECT * FROM tmp) AS x",
         "The statement 'SELECT rowid, * FROM (SELECT * FROM tmp) AS x' cannot be run on the "
         "shop server: its select *"},
        {'S', "PRAGMA page_count", "PRAGMA page_count",
         "The statement 'PRAGMA page_count' cannot be run on the shop server: PRAGMA"},
        {'S', "SELECT 1; SELECT 2", "Syntax error in query: a second statement after ;",
         "Syntax error in query: a second statement after ;"},
        {'S', "SELECT :name",
         "Syntax error in query: unexpected :", "Syntax error in query: unexpected :"},
        {'S', "SELECT 1 /* open", "Syntax error in query: unclosed /*",
         "Syntax error in query: unclosed /*"},
        {'R', "select * from Bill where Retail='x", "Syntax error in query: unclosed '",
         "Syntax error in query: unclosed '"},
        {'R', "select * from Bill where [Invoice Date]=#2001/13/40#",
         "Syntax error in date in query expression", "Syntax error in date in query expression"},
        {'R', "select * from", "Invalid query text", "Invalid query text"},
        {'R', "select * from Bill where Fee > ?", "Invalid query text", "Invalid query text"},
        {'R', "select * from Bill order by Fee, Retail", "Invalid query text",
         "Invalid query text"},
        {'R', "select Colour from Bill", "The table 'Bill' of the shop database has no column",
         "The table 'Bill' of the shop database has no column"},
        {'R', "Nowhere", "The table 'Nowhere' does not exist",
         "The table 'Nowhere' does not exist"},
    };
    for (const auto &c : cases) {
        const std::pair<const SqlDialect *, const char *> engines[] = {
            {&engines::fileDialect(), c.file}, {&engines::serverDialect(), c.server}};
        for (const auto &[dialect, expected] : engines) {
            QString got;
            try {
                got = c.grammar == 'R' ? dialect->recordSource(c.text).sql.sql
                                       : dialect->statement(c.text).sql;
            } catch (const DataError &error) {
                got = error.description().left(qstrlen(expected));
            }
            EXPECT_EQ(got.toStdString(), expected) << c.text;
        }
    }
}

// The statements the program builds, as each engine is sent them: values bound in the order
// the statement names them.
TEST(QueryText, BuiltStatementsInEachEnginesSql) {
    namespace B = tables::Bill;
    const struct {
        sqlb::Statement statement;
        const char *file;
        const char *server;
    } cases[] = {
        {sqlb::insertSelect("tempPay", {"A", "B", "C"}, "Bill", {B::InvoiceNo, B::Fee})
             .whereRowid(),
         "INSERT INTO [tempPay] ([A], [B], [C]) SELECT [Invoice No], [Fee], ?1 FROM [Bill] WHERE "
         "rowid = ?2",
         "INSERT INTO \"temppay\" (\"a\", \"b\", \"c\") SELECT \"invoice no\", \"fee\", $1 FROM "
         "\"bill\" WHERE rowid = $2"},
        {sqlb::update("Titles").set("Title").add("Qty").subtract("SafeQty").where("BOOKNO"),
         "UPDATE [Titles] SET [Title] = ?1, [Qty] = [Qty] + ?2, [SafeQty] = [SafeQty] - ?3 WHERE "
         "[BOOKNO] = ?4",
         "UPDATE \"titles\" SET \"title\" = $1, \"qty\" = \"qty\" + $2, \"safeqty\" = "
         "\"safeqty\" - $3 WHERE \"bookno\" = $4"},
        {sqlb::insert("Bill", {}).returningRowid(),
         "INSERT INTO [Bill] DEFAULT VALUES RETURNING rowid",
         "INSERT INTO \"bill\" DEFAULT VALUES RETURNING rowid"},
        {sqlb::remove("Bill").whereRowid().returning({B::InvoiceNo, B::Fee}),
         "DELETE FROM [Bill] WHERE rowid = ?1 RETURNING [Invoice No], [Fee]",
         "DELETE FROM \"bill\" WHERE rowid = $1 RETURNING \"invoice no\", \"fee\""},
        {sqlb::moneyTotal("soldbook", "Price", "Qty").where("SoldDate", sqlb::Compare::Between),
         "SELECT CAST(coalesce(sum(CAST(round([Price] * 10000) AS BIGINT) * [Qty]), 0) AS TEXT) "
         "FROM [soldbook] WHERE [SoldDate] BETWEEN ?1 AND ?2",
         "SELECT CAST(coalesce(sum(CAST(round(\"price\" * 10000) AS BIGINT) * \"qty\"), 0) AS "
         "TEXT) FROM \"soldbook\" WHERE \"solddate\" BETWEEN $1 AND $2"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(engines::fileDialect().render(c.statement).sql.toStdString(), c.file);
        EXPECT_EQ(engines::serverDialect().render(c.statement).sql.toStdString(), c.server);
    }
}

TEST(QueryText, LiteralsOfTheRecordSourceTexts) {
    EXPECT_EQ(textLiteral("O'Hara Books"), "'O''Hara Books'");
    EXPECT_EQ(textLiteral("'; DROP TABLE Titles; --"), "'''; DROP TABLE Titles; --'");
    EXPECT_EQ(dateLiteral(QDate(2001, 5, 3)), "#2001/5/3#");
}

} // namespace
