// The tills' role on a server shop: rows may be read and written, the tables cannot be made,
// changed, emptied or dropped; and each till sees only its own rows of the scratch tables.
#include "serverdatabase.h"
#include "shopfile.h"
#include "sqlitefile.h"
#include "toolrun.h"

#include <QTemporaryDir>

namespace {

using TillRole = ServerTest;

constexpr char kNoRight[] = "42501"; // insufficient_privilege

void makeShop(const QString &conninfo, const QStringList &options = {}) {
    QTemporaryDir home;
    const CommandResult made =
        runTool(QM_CREATEDB_PATH, options + QStringList{"--server", conninfo}, home.path());
    ASSERT_EQ(made.exitCode, 0) << made.output.toStdString();
}

TEST_F(TillRole, WritesRowsAndNothingElse) {
    makeShop(conninfo());
    Link till(conninfo(makeTill("till1")));
    ASSERT_TRUE(till.ok());
    ASSERT_EQ(till.run("SET quillmart.till = 'till1-run'"), "");

    const char *refused[] = {
        "CREATE TABLE stock (a integer)",
        "CREATE TEMPORARY TABLE stock (a integer)",
        "CREATE VIEW sales AS SELECT * FROM soldbook",
        "CREATE INDEX ON titles (title)",
        "CREATE FUNCTION f() RETURNS integer LANGUAGE sql AS 'SELECT 1'",
        "DROP TABLE soldbook",
        "ALTER TABLE titles ADD COLUMN note text",
        "ALTER TABLE titles RENAME TO books",
        "ALTER TABLE tmp DISABLE ROW LEVEL SECURITY",
        "DROP POLICY tmp_of_this_till ON tmp",
        "TRUNCATE soldbook",
        "ALTER TABLE titles OWNER TO quillmart_till",
        "DROP FUNCTION val(text)",
        "ALTER SEQUENCE titles_bookno_seq RESTART WITH 1",
        "SET ROLE quillmart",
    };
    for (const char *sql : refused)
        EXPECT_EQ(till.run(sql), kNoRight) << sql;

    const char *allowed[] = {
        "INSERT INTO titles (isbn, title, qty) VALUES ('9780000000001', 'A', 5)",
        "UPDATE titles SET qty = qty - 1 WHERE isbn = '9780000000001'",
        "INSERT INTO soldbook (solddate, soldtime, isbn, price, qty) VALUES "
        "(current_date, localtime(0), '9780000000001', 9.99, 1)",
        "INSERT INTO bill (\"invoice no\", fee) VALUES ('A-1', 10)",
        "INSERT INTO paidbill SELECT \"invoice no\", \"invoice date\", fee, \"invoice time\", "
        "retail, current_date FROM bill",
        "DELETE FROM bill WHERE \"invoice no\" = 'A-1'",
        "INSERT INTO tmp (a, b, c) VALUES ('9780000000001', 'A', '1')",
        "DELETE FROM tmp",
        "SELECT val(title), val(qty), nextval('soldbook_rowid_seq') FROM titles",
    };
    for (const char *sql : allowed)
        EXPECT_EQ(till.run(sql), "") << sql;
    EXPECT_EQ(till.rows("SELECT qty FROM titles"), QStringList{"4"});
    EXPECT_EQ(till.rows("SELECT \"invoice no\", fee FROM paidbill"), QStringList{"A-1|10.0000"});
}

TEST_F(TillRole, EachTillSeesOnlyItsOwnScratchRows) {
    makeShop(conninfo(), {"--demo"});
    const QString role = makeTill("tills");
    // Two tills that log in with the same role: each program run names itself.
    Link first(conninfo(role)), second(conninfo(role)), unnamed(conninfo(role));
    ASSERT_EQ(first.run("SET quillmart.till = 'counter-1'"), "");
    ASSERT_EQ(second.run("SET quillmart.till = 'counter-2'"), "");
    for (int i = 1; i <= 3; ++i)
        ASSERT_EQ(
            first.run("INSERT INTO tmp (a, b, c) VALUES ($1, 'first', '1')", {QString::number(i)}),
            "");
    ASSERT_EQ(first.run("INSERT INTO temppay (\"invoice no\", fee) VALUES ('F-1', 5), ('F-2', 6)"),
              "");
    ASSERT_EQ(second.run("INSERT INTO tmp (a, b, c) VALUES ('9', 'second', '2')"), "");
    ASSERT_EQ(second.run("INSERT INTO temppay (\"invoice no\", fee) VALUES ('S-1', 7)"), "");

    const struct {
        Link &till;
        QStringList tmp, temppay;
    } views[] = {
        {first, {"1|first", "2|first", "3|first"}, {"F-1", "F-2"}},
        {second, {"9|second"}, {"S-1"}},
        {unnamed, {}, {}},
    };
    for (const auto &view : views) {
        EXPECT_EQ(view.till.rows("SELECT a, b FROM tmp ORDER BY a"), view.tmp);
        EXPECT_EQ(view.till.rows("SELECT \"invoice no\" FROM temppay ORDER BY 1"), view.temppay);
    }
    // Emptying its own scratch table leaves the other till's alone; no till can write a row
    // for another, or move one over to it.
    ASSERT_EQ(second.run("DELETE FROM tmp"), "");
    ASSERT_EQ(second.run("DELETE FROM temppay"), "");
    EXPECT_EQ(first.rows("SELECT count(*) FROM tmp"), QStringList{"3"});
    EXPECT_EQ(first.rows("SELECT count(*) FROM temppay"), QStringList{"2"});
    EXPECT_EQ(second.run("INSERT INTO tmp (a, till) VALUES ('x', 'counter-1')"), kNoRight);
    EXPECT_EQ(first.run("UPDATE tmp SET till = 'counter-2'"), kNoRight);
    EXPECT_NE(unnamed.run("INSERT INTO tmp (a) VALUES ('x')"), "");
    Link owner(conninfo());
    EXPECT_EQ(owner.rows("SELECT till, count(*) FROM tmp GROUP BY till"),
              QStringList{"counter-1|3"});
    // The demo shop the tills work on is the demo file's, table by table.
    QTemporaryDir dir;
    shopfile::makeShop(dir.filePath("demo.mdb"), shopfile::Contents::Demo, QDate::currentDate());
    SqliteFile demo(dir.filePath("demo.mdb"), SQLITE_OPEN_READONLY);
    for (const char *table :
         {"Titles", "Subject", "publishers", "retail", "soldbook", "onsale", "Bill", "paidbill"}) {
        SqliteStatement count(demo, QString("SELECT count(*) FROM [%1]").arg(table));
        ASSERT_TRUE(count.step());
        EXPECT_EQ(first.rows(QString("SELECT count(*) FROM %1").arg(QString(table).toLower())),
                  QStringList{QString::number(sqlite3_column_int64(count.raw(), 0))})
            << table;
    }
}

} // namespace
