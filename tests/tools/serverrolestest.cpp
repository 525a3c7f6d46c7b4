// Who may do what on a server shop: a till and a back-office login each try every statement
// the other's screens run (and a few that no screen runs); the sale's function checks what it
// is given; each login sees only its own scratch rows; a shop made by the earlier version is
// brought up to the same rights as a new one.
#include "serverroles.h"
#include "serverdatabase.h"
#include "toolrun.h"

#include <QTemporaryDir>

namespace {

using ShopRoles = ServerTest;

constexpr char kOk[] = "";
constexpr char kNoRight[] = "42501";     // insufficient_privilege, and a row of another login
constexpr char kRefusedSale[] = "23514"; // check_violation: the sale's function said no

void makeShop(const QString &conninfo, const QStringList &options = {}) {
    QTemporaryDir home;
    const CommandResult made =
        runTool(QM_CREATEDB_PATH, options + QStringList{"--server", conninfo}, home.path());
    ASSERT_EQ(made.exitCode, 0) << made.output.toStdString();
}

// A statement as one of the screens sends it (or, for "-", as someone typing in psql would),
// and what the server answers each role: "" when it runs, else its SQLSTATE.
struct Tried {
    const char *screen;
    const char *sql;
    const char *till;
    const char *office;
};

const Tried kStatements[] = {
    // The counter.
    {"frmSell",
     "SELECT bookno, isbn, title, \"sale price\" FROM titles WHERE isbn = "
     "'9780000000001'",
     kOk, kOk},
    {"frmSell",
     "SELECT isbn, \"onsale price\", \"begin\", \"end\" FROM onsale WHERE isbn = "
     "'9780000000001' ORDER BY rowid",
     kOk, kOk},
    {"frmSell",
     "SELECT quillmart_book_sale(bookno, 2, \"sale price\", DATE '2001-05-03', "
     "TIME '10:30:00') FROM titles WHERE bookno = (SELECT min(bookno) FROM titles)",
     kOk, kOk},
    {"frmBookQuery", "SELECT * FROM titles ORDER BY title COLLATE shoptext, rowid", kOk, kOk},
    {"A1A2", "DELETE FROM tmp", kOk, kOk},
    {"A1A2",
     "INSERT INTO tmp (a, b, c) SELECT isbn, min(title), sum(qty)::text FROM soldbook "
     "GROUP BY isbn",
     kOk, kOk},
    {"A1A2", "SELECT a, b, c FROM tmp ORDER BY val(c) DESC, rowid", kOk, kOk},
    {"frmDayReport", "SELECT * FROM soldbook WHERE solddate = current_date ORDER BY soldtime", kOk,
     kOk},
    {"frmMonthRpt", "SELECT sum(price * qty) FROM soldbook WHERE solddate >= '2001-01-01'", kOk,
     kOk},
    // The back office.
    {"OnSaleReg",
     "INSERT INTO onsale (isbn, \"onsale price\", \"begin\", \"end\") VALUES "
     "('9780000000001', 1, '2001-05-01', '2001-05-31')",
     kNoRight, kOk},
    {"OnSaleReg", "DELETE FROM onsale WHERE rowid = (SELECT min(rowid) FROM onsale)", kNoRight,
     kOk},
    {"frmCreTitles",
     "INSERT INTO titles (isbn, title, \"sale price\", qty) VALUES "
     "('9789999999999', 'New', 9.5, 3) RETURNING rowid",
     kNoRight, kOk},
    {"frmCreTitles", "SELECT subject FROM subject", kNoRight, kOk},
    {"frmCreTitles", "SELECT name FROM publishers", kNoRight, kOk},
    {"frmCreTitles",
     "UPDATE titles SET title = 'Renamed' WHERE bookno = "
     "(SELECT min(bookno) FROM titles)",
     kNoRight, kOk},
    {"frmCreTitles", "DELETE FROM titles WHERE bookno = (SELECT max(bookno) FROM titles)", kNoRight,
     kOk},
    {"frmInvoice", "SELECT retname FROM retail", kNoRight, kOk},
    {"frmInvoice",
     "INSERT INTO bill (\"invoice no\", \"invoice date\", fee, \"invoice time\", "
     "retail) VALUES ('A-1', '2001-05-03', 10, '10:30:00', 'Ace')",
     kNoRight, kOk},
    {"frmSafe", "SELECT * FROM titles WHERE qty < safeqty", kOk, kOk},
    {"frmNewQty",
     "UPDATE titles SET qty = qty + 5 WHERE bookno = (SELECT min(bookno) FROM "
     "titles)",
     kNoRight, kOk},
    {"frmBill", "SELECT * FROM bill ORDER BY \"invoice date\"", kNoRight, kOk},
    {"frmBill", "DELETE FROM temppay", kNoRight, kOk},
    {"frmBill",
     "INSERT INTO temppay (\"invoice no\", \"invoice date\", fee, \"invoice time\", "
     "retail, retname) SELECT \"invoice no\", \"invoice date\", fee, \"invoice time\", "
     "retail, 'Ace' FROM bill",
     kNoRight, kOk},
    {"frmCheckPay",
     "DELETE FROM bill WHERE rowid = (SELECT min(rowid) FROM bill) RETURNING "
     "\"invoice no\", \"invoice date\", fee, \"invoice time\", retail",
     kNoRight, kOk},
    {"frmCheckPay",
     "INSERT INTO paidbill VALUES ('A-1', '2001-05-01', 10, '09:00:00', 'Ace', "
     "'2001-05-03')",
     kNoRight, kOk},
    {"frmPayRec", "SELECT * FROM paidbill ORDER BY retail", kNoRight, kOk},
    {"frmPayRec", "DELETE FROM paidbill WHERE rowid = (SELECT min(rowid) FROM paidbill)", kNoRight,
     kOk},
    {"dataSoldBook", "DELETE FROM soldbook", kNoRight, kOk},
    {"dataSoldBook", "INSERT INTO soldbook (solddate, qty) VALUES ('2001-05-03', 1)", kNoRight,
     kOk},
    {"dataTitles", "UPDATE titles SET \"sale price\" = 0.01", kNoRight, kOk},
    {"dataSubject", "INSERT INTO subject VALUES ('S9', 'Poetry')", kNoRight, kOk},
    {"datapublisher", "UPDATE publishers SET name = 'x'", kNoRight, kOk},
    {"dataRetail", "DELETE FROM retail", kNoRight, kOk},
    {"dataBill", "UPDATE bill SET fee = 0", kNoRight, kOk},
    {"dataPaidBill", "DELETE FROM paidbill", kNoRight, kOk},
    {"dataOnsale", "UPDATE onsale SET \"onsale price\" = 0.01", kNoRight, kOk},
    // No screen's: what a login could try by hand.
    {"-", "LOCK TABLE titles, soldbook IN ACCESS EXCLUSIVE MODE NOWAIT", kNoRight, kOk},
    {"-", "LOCK TABLE soldbook IN ROW EXCLUSIVE MODE", kNoRight, kOk},
    {"-", "SELECT * FROM titles FOR UPDATE", kNoRight, kOk},
    {"-",
     "SELECT quillmart_book_sale(bookno, 1, 0.01, DATE '2001-05-03', TIME '10:30:00') "
     "FROM titles WHERE bookno = (SELECT min(bookno) FROM titles)",
     kRefusedSale, kRefusedSale},
    {"-", "INSERT INTO tmp (a, till) VALUES ('x', 'someone else')", kNoRight, kNoRight},
    {"-", "TRUNCATE soldbook", kNoRight, kNoRight},
    {"-", "TRUNCATE tmp", kNoRight, kNoRight},
    {"-", "DROP TABLE soldbook", kNoRight, kNoRight},
    {"-", "ALTER TABLE titles ADD COLUMN note text", kNoRight, kNoRight},
    {"-", "ALTER TABLE tmp DISABLE ROW LEVEL SECURITY", kNoRight, kNoRight},
    {"-", "DROP POLICY tmp_of_this_till ON tmp", kNoRight, kNoRight},
    {"-", "CREATE TABLE stock (a integer)", kNoRight, kNoRight},
    {"-", "CREATE TEMPORARY TABLE stock (a integer)", kNoRight, kNoRight},
    {"-", "CREATE INDEX ON titles (title)", kNoRight, kNoRight},
    {"-",
     "CREATE OR REPLACE FUNCTION quillmart_book_sale(integer, integer, numeric, date, "
     "time) RETURNS boolean LANGUAGE sql AS 'SELECT true'",
     kNoRight, kNoRight},
    {"-", "ALTER SEQUENCE titles_bookno_seq RESTART WITH 1", kNoRight, kNoRight},
    {"-", "SET ROLE quillmart", kNoRight, kNoRight}, // the test server's superuser
};

// Runs the statement and takes it back, so that each one meets the same shop.
QString tryAlone(Link &link, const QString &sql) {
    EXPECT_EQ(link.run("BEGIN"), "");
    const QString state = link.run(sql);
    link.run("ROLLBACK");
    return state;
}

TEST_F(ShopRoles, EachRoleMayRunItsScreensStatementsAndNoneBeyond) {
    makeShop(conninfo(), {"--demo"});
    Link till(conninfo(makeTill("till1")));
    Link office(conninfo(makeTill("office1", serverroles::kOffice)));
    ASSERT_TRUE(till.ok() && office.ok());
    for (const Tried &tried : kStatements) {
        SCOPED_TRACE(std::string(tried.screen) + ": " + tried.sql);
        EXPECT_EQ(tryAlone(till, tried.sql), tried.till) << "as a till";
        EXPECT_EQ(tryAlone(office, tried.sql), tried.office) << "as the back office";
    }
}

// What the sale's function is given decides: the title's stock and a sale row, both or
// neither.
TEST_F(ShopRoles, TheSalesFunctionBooksOnlyWhatTheCounterCouldSell) {
    makeShop(conninfo());
    Link owner(conninfo());
    ASSERT_EQ(owner.run("INSERT INTO titles (bookno, isbn, title, \"sale price\", qty) VALUES "
                        "(1, '9780000000001', 'Rivers', 19.99, 10), (2, '9780000000002', "
                        "'Hills', NULL, 10)"),
              "");
    ASSERT_EQ(owner.run("INSERT INTO onsale VALUES ('9780000000001', 15.5, '2001-05-01', "
                        "'2001-05-31')"),
              "");
    Link till(conninfo(makeTill("till1")));
    const struct {
        const char *call;   // the arguments
        const char *answer; // the function's value, or the SQLSTATE of its refusal
        const char *stock;  // of title 1 afterwards
    } cases[] = {
        {"1, 2, 19.99, '2001-06-01', '10:00:00'", "t", "8"},
        {"1, -1, 19.989999999999998, '2001-06-01', '10:00:00'", "t", "11"}, // a return
        {"1, 2, 15.5, '2001-05-31', '10:00:00'", "t", "8"},                 // the offer
        {"1, 2, 15.5, '2001-06-01', '10:00:00'", kRefusedSale, "10"},       // offer is over
        {"1, 2, 0.01, '2001-05-03', '10:00:00'", kRefusedSale, "10"},
        {"2, 1, 5, '2001-05-03', '10:00:00'", kRefusedSale, "10"}, // no price at all
        {"3, 1, 19.99, '2001-05-03', '10:00:00'", "f", "10"},      // no such title
        {"1, NULL, 19.99, '2001-05-03', '10:00:00'", "22004", "10"},
        {"1, 2000000000, 19.99, '2001-05-03', '10:00:00'", "22003", "10"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.call);
        EXPECT_EQ(till.answer(QString("SELECT quillmart_book_sale(%1)").arg(c.call)), c.answer);
        EXPECT_EQ(owner.rows("SELECT qty FROM titles WHERE bookno = 1"), QStringList{c.stock});
        // Each sale row is the title's own, as the catalogue has it.
        EXPECT_EQ(owner.rows("SELECT count(*) FROM soldbook WHERE isbn IS DISTINCT FROM "
                             "'9780000000001' OR title IS DISTINCT FROM 'Rivers'"),
                  QStringList{"0"});
        owner.run("UPDATE titles SET qty = 10 WHERE bookno = 1");
    }
    EXPECT_EQ(owner.rows("SELECT qty, price FROM soldbook ORDER BY rowid"),
              (QStringList{"2|19.9900", "-1|19.9900", "2|15.5000"}));
}

TEST_F(ShopRoles, EachLoginSeesOnlyItsOwnScratchRows) {
    makeShop(conninfo(), {"--demo"});
    const QString firstRole = makeTill("till1"), secondRole = makeTill("till2");
    const QString officeRole = makeTill("office", serverroles::kOffice);
    // A till's two connections are one login: they share its rows.
    Link first(conninfo(firstRole)), again(conninfo(firstRole)), second(conninfo(secondRole));
    Link office(conninfo(officeRole));
    for (int i = 1; i <= 3; ++i)
        ASSERT_EQ(
            first.run("INSERT INTO tmp (a, b, c) VALUES ($1, 'first', '1')", {QString::number(i)}),
            "");
    ASSERT_EQ(second.run("INSERT INTO tmp (a, b, c) VALUES ('9', 'second', '2')"), "");
    ASSERT_EQ(office.run("INSERT INTO tmp (a, b, c) VALUES ('7', 'office', '2')"), "");
    ASSERT_EQ(office.run("INSERT INTO temppay (\"invoice no\", fee) VALUES ('F-1', 5)"), "");

    const struct {
        Link &login;
        QStringList tmp;
    } views[] = {
        {first, {"1|first", "2|first", "3|first"}},
        {again, {"1|first", "2|first", "3|first"}},
        {second, {"9|second"}},
        {office, {"7|office"}},
    };
    for (const auto &view : views)
        EXPECT_EQ(view.login.rows("SELECT a, b FROM tmp ORDER BY a"), view.tmp);
    // Emptying its own scratch table leaves the others' alone; no login can write a row for
    // another, or move one over to it.
    ASSERT_EQ(second.run("DELETE FROM tmp"), "");
    EXPECT_EQ(first.rows("SELECT count(*) FROM tmp"), QStringList{"3"});
    EXPECT_EQ(first.run("UPDATE tmp SET till = $1", {secondRole}), kNoRight);
    EXPECT_EQ(second.run("INSERT INTO tmp (a, till) VALUES ('x', $1)", {firstRole}), kNoRight);
    Link owner(conninfo());
    ASSERT_EQ(owner.run("ALTER TABLE tmp NO FORCE ROW LEVEL SECURITY"), "");
    EXPECT_EQ(owner.rows("SELECT till, count(*) FROM tmp GROUP BY till ORDER BY till"),
              (QStringList{officeRole + "|1", firstRole + "|3"}));
}

// The rights the two roles hold on the shop, as the server's catalogue lists them, and how
// the scratch tables' rows get their owner.
QStringList rightsOf(Link &shop) {
    return shop.rows(
        "SELECT grantee || ' ' || privilege_type || ' ' || table_name FROM "
        "information_schema.table_privileges WHERE grantee IN ($1, $2, 'PUBLIC') UNION ALL "
        "SELECT grantee || ' ' || privilege_type || ' ' || object_name FROM "
        "information_schema.usage_privileges WHERE grantee IN ($1, $2, 'PUBLIC') AND "
        "object_type = 'SEQUENCE' UNION ALL SELECT grantee || ' EXECUTE ' || routine_name FROM "
        "information_schema.routine_privileges WHERE grantee IN ($1, $2, 'PUBLIC') AND "
        "routine_schema = 'public' UNION ALL SELECT tablename || ' ' || qual || ' ' || "
        "with_check FROM pg_policies UNION ALL SELECT table_name || ' ' || column_default FROM "
        "information_schema.columns WHERE column_name = 'till' ORDER BY 1",
        {serverroles::kTill, serverroles::kOffice});
}

TEST_F(ShopRoles, AShopOfTheEarlierVersionIsGivenTheRightsOfANewOne) {
    makeShop(conninfo());
    Link owner(conninfo());
    const QStringList fresh = rightsOf(owner);
    ASSERT_TRUE(fresh.contains("quillmart_till EXECUTE quillmart_book_sale"));
    // As the earlier version made it: the tills may write every row, scratch rows go by a
    // name each program run gave itself, there is no sale's function and no back office.
    const char *earlier[] = {
        "DROP FUNCTION quillmart_book_sale",
        "REVOKE ALL ON ALL TABLES IN SCHEMA public FROM quillmart_office",
        "GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO quillmart_till",
        "GRANT USAGE ON ALL SEQUENCES IN SCHEMA public TO quillmart_till",
        "DROP POLICY tmp_of_this_till ON tmp",
        "DROP POLICY temppay_of_this_till ON temppay",
        "ALTER TABLE tmp ALTER COLUMN till SET DEFAULT current_setting('quillmart.till', true)",
        "ALTER TABLE temppay ALTER COLUMN till SET DEFAULT "
        "current_setting('quillmart.till', true)",
        "CREATE POLICY tmp_of_this_till ON tmp FOR ALL USING (till = "
        "current_setting('quillmart.till', true)) WITH CHECK (till = "
        "current_setting('quillmart.till', true))",
        "SET quillmart.till = 'a0c5e2f4-run-that-was-killed'",
        "INSERT INTO tmp (a, b, c) VALUES ('9780000000001', 'Rivers', '3')",
    };
    for (const char *sql : earlier)
        ASSERT_EQ(owner.run(sql), "") << sql;
    ASSERT_NE(rightsOf(owner), fresh);

    QTemporaryDir home;
    const CommandResult updated =
        runTool(QM_CREATEDB_PATH, {"--update-rights", "--server", conninfo()}, home.path());
    ASSERT_EQ(updated.exitCode, 0) << updated.output.toStdString();
    Link after(conninfo());
    EXPECT_EQ(rightsOf(after), fresh);
    ASSERT_EQ(after.run("ALTER TABLE tmp NO FORCE ROW LEVEL SECURITY"), "");
    EXPECT_EQ(after.rows("SELECT count(*) FROM tmp"), QStringList{"0"});
    // Not a shop at all: refused, nothing made.
    const CommandResult notAShop = runTool(
        QM_CREATEDB_PATH, {"--update-rights", "--server", serverConninfo("postgres")}, home.path());
    EXPECT_EQ(notAShop.exitCode, 1);
    EXPECT_TRUE(notAShop.output.contains("does not hold the shop's tables"))
        << notAShop.output.toStdString();
}

} // namespace
