// quillmart-copyshop: a shop goes from a file to a server and back with every row, key, value
// and numbering intact; a server that holds a shop, an existing file or a value the server
// cannot hold stops the copy with nothing changed.
#include "serverdatabase.h"
#include "shopfile.h"
#include "sqlitefile.h"
#include "toolrun.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

using ShopCopy = ServerTest;

CommandResult copyshop(const QStringList &args) {
    return runTool(QM_COPYSHOP_PATH, args, QDir::tempPath());
}

void run(SqliteFile &file, const QString &sql) {
    SqliteStatement statement(file, sql);
    statement.step();
}

// Every row of every table, keys first, money as the four places the shop counts in.
QStringList dump(const QString &path) {
    SqliteFile file(path, SqliteFile::Mode::ReadOnly);
    QStringList rows;
    for (const char *table : {"Titles", "Subject", "publishers", "retail", "soldbook", "onsale",
                              "Bill", "paidbill", "tmp", "tempPay", "sqlite_sequence"}) {
        SqliteStatement select(file,
                               QString("SELECT rowid, * FROM [%1] ORDER BY rowid").arg(table));
        while (select.step()) {
            QStringList values{table};
            for (int i = 0; i < select.columnCount(); ++i) {
                switch (select.type(i)) {
                case SqliteStatement::Type::Null:
                    values << "<null>";
                    break;
                case SqliteStatement::Type::Real:
                    values << QString::asprintf("%.4f", select.real(i));
                    break;
                default:
                    values << select.string(i);
                }
            }
            rows << values.join('|');
        }
    }
    return rows;
}

// A small shop with the awkward values: Chinese text, quotes, tabs and line breaks,
// backslashes, empty texts and NULLs, sums of money that a double does not hold exactly,
// the first and last times of a day, keys with gaps, a deleted last title.
QString makeAwkwardShop(const QString &path) {
    shopfile::create(path);
    SqliteFile file(path, SqliteFile::Mode::ReadWrite);
    const QString sql[] = {
        "INSERT INTO Titles VALUES (3, '9789573317241', '紅樓夢', '曹雪芹', '小說', "
        "'遠流', '2016', 0.1 + 0.2, 19.99, 7.005, 5, 2, 'O''Hara \"Books\"')",
        "INSERT INTO Titles VALUES (7, NULL, 'Tab\there, line\nbreak, back\\slash', '', NULL, "
        "NULL, NULL, NULL, -5.5, 0, -3, NULL, NULL)",
        "INSERT INTO Titles (BOOKNO, Title) VALUES (1000, 'deleted later')",
        "DELETE FROM Titles WHERE BOOKNO = 1000",
        "INSERT INTO Subject VALUES ('01', '小說')",
        "INSERT INTO publishers VALUES ('P1', '遠流', 'Yuan-Liou Publishing Co.', 'No. 11, "
        "Lane 2', 'Taipei', NULL, '100', '+886 2 2392 6899', NULL)",
        "INSERT INTO retail VALUES (2, 'O''Hara Books', '1 Quay St', '555', 'Ann')",
        "INSERT INTO retail VALUES (9, '書林', NULL, NULL, NULL)",
        "INSERT INTO soldbook (rowid, SoldDate, SoldTime, ISBN, Title, Price, Qty) VALUES "
        "(5, '2026-02-28', '00:00:00', '9789573317241', '紅樓夢', 0.30000000000000004, 1)",
        "INSERT INTO soldbook (rowid, SoldDate, SoldTime, ISBN, Title, Price, Qty) VALUES "
        "(9, '1999-12-31', '23:59:59', NULL, 'Tab\there', 1234567.8901, -2)",
        "INSERT INTO onsale VALUES ('9789573317241', 15.5, '2026-01-01', '2026-12-31')",
        "INSERT INTO Bill VALUES ('A-001', '2026-03-01', 1000.1, '09:30:00', 'O''Hara Books')",
        "INSERT INTO paidbill VALUES ('A-000', '2026-02-01', 0.07, '10:00:00', '書林', "
        "'2026-02-15')",
        // Scratch rows of the screen that was open: not part of the shop that moves.
        "INSERT INTO tmp VALUES ('a', 'b', 'c')",
        "INSERT INTO tempPay VALUES ('A-001', '2026-03-01', 1000.1, '09:30:00', 'x', 'y')",
    };
    for (const QString &statement : sql)
        run(file, statement);
    return path;
}

TEST_F(ShopCopy, FileToServerAndBackKeepsEveryRowKeyValueAndNumbering) {
    QTemporaryDir dir;
    const QString original = makeAwkwardShop(dir.filePath("book1.mdb"));

    const CommandResult in = copyshop({"--to-server", conninfo(), original});
    ASSERT_EQ(in.exitCode, 0) << in.output.toStdString();
    Link server(conninfo());
    // Money is exact on the server; texts, dates and times are as the file has them.
    EXPECT_EQ(
        server.rows("SELECT rowid, title, \"fixed price\", \"sale price\", purchaseprice, "
                    "qty, retail FROM titles ORDER BY rowid"),
        (QStringList{"3|紅樓夢|0.3000|19.9900|7.0050|5|O'Hara \"Books\"",
                     "7|Tab\there, line\nbreak, back\\slash|<null>|-5.5000|0.0000|-3|<null>"}));
    EXPECT_EQ(
        server.rows("SELECT rowid, solddate, soldtime, price, qty FROM soldbook ORDER BY 1"),
        (QStringList{"5|2026-02-28|00:00:00|0.3000|1", "9|1999-12-31|23:59:59|1234567.8901|-2"}));
    EXPECT_EQ(server.rows("SELECT count(*) FROM tmp"), QStringList{"0"});
    EXPECT_EQ(server.rows("SELECT count(*) FROM temppay"), QStringList{"0"});
    // New rows are numbered after the largest number the file ever gave.
    EXPECT_EQ(server.rows("INSERT INTO titles (title) VALUES ('new') RETURNING bookno, rowid"),
              QStringList{"1001|1001"});
    EXPECT_EQ(server.rows("INSERT INTO retail (retname) VALUES ('new') RETURNING retno"),
              QStringList{"10"});
    EXPECT_EQ(server.rows("INSERT INTO soldbook (qty) VALUES (1) RETURNING rowid"),
              QStringList{"10"});
    EXPECT_EQ(server.rows("INSERT INTO subject (subject) VALUES ('x') RETURNING rowid"),
              QStringList{"2"});
    for (const char *sql :
         {"DELETE FROM titles WHERE bookno = 1001", "DELETE FROM retail WHERE retno = 10",
          "DELETE FROM soldbook WHERE rowid = 10", "DELETE FROM subject WHERE rowid = 2"})
        ASSERT_EQ(server.run(sql), "") << sql;

    const QString back = dir.filePath("back/book1.mdb");
    const CommandResult out = copyshop({"--to-file", conninfo(), back});
    ASSERT_EQ(out.exitCode, 0) << out.output.toStdString();
    // Only the finished file is left in its folder, closed.
    EXPECT_EQ(QDir(dir.filePath("back")).entryList(QDir::Files | QDir::Hidden),
              QStringList{"book1.mdb"});
    QStringList expected = dump(original);
    // What does not move: the scratch rows; and money as the four places the server keeps.
    expected.removeAll("tmp|1|a|b|c");
    expected.removeAll("tempPay|1|A-001|2026-03-01|1000.1000|09:30:00|x|y");
    for (QString &row : expected) // the numbering's rows, wherever the sequence keeps them
        if (row.startsWith("sqlite_sequence|") && row.endsWith("|retail|9"))
            row.replace(row.size() - 1, 1, "10");
        else if (row.startsWith("sqlite_sequence|") && row.endsWith("|Titles|1000"))
            row.replace(row.size() - 4, 4, "1001");
    const QStringList got = dump(back);
    EXPECT_EQ(got, expected);
    EXPECT_EQ(got.size(), 13); // the rows above and the numbering of the tables that had rows
}

TEST_F(ShopCopy, RefusesATargetThatHoldsAShopAndChangesNothing) {
    QTemporaryDir dir;
    const QString shop = makeAwkwardShop(dir.filePath("book1.mdb"));
    ASSERT_EQ(runTool(QM_CREATEDB_PATH, {"--server", conninfo()}, dir.path()).exitCode, 0);
    Link server(conninfo());
    ASSERT_EQ(server.run("INSERT INTO soldbook (isbn, qty) VALUES ('already sold', 1)"), "");

    const CommandResult into = copyshop({"--to-server", conninfo(), shop});
    EXPECT_EQ(into.exitCode, 1);
    EXPECT_TRUE(into.output.contains("already holds a shop (rows in soldbook"))
        << into.output.toStdString();
    EXPECT_EQ(server.rows("SELECT isbn, qty, rowid FROM soldbook"),
              QStringList{"already sold|1|1"});
    EXPECT_EQ(server.rows("SELECT count(*) FROM titles"), QStringList{"0"});

    // An existing file is never overwritten, not even by a copy of the server.
    QFile::copy(shop, dir.filePath("before.mdb"));
    const QStringList before = dump(shop);
    const CommandResult over = copyshop({"--to-file", conninfo(), shop});
    EXPECT_EQ(over.exitCode, 2);
    EXPECT_EQ(dump(shop), before);
}

TEST_F(ShopCopy, AValueTheServerCannotHoldStopsTheWholeCopy) {
    const struct {
        const char *sql;
        const char *message;
    } cases[] = {
        {"UPDATE soldbook SET Qty = 'two' WHERE rowid = 9",
         "soldbook, row 9, column Qty holds \"two\", which is not a whole number"},
        {"UPDATE Titles SET Qty = 3000000000 WHERE BOOKNO = 7",
         "Titles, row 7, column Qty holds \"3000000000\", which is beyond"},
        {"UPDATE soldbook SET SoldDate = '2026-02-30' WHERE rowid = 5",
         "soldbook, row 5, column SoldDate holds \"2026-02-30\", which is not a date"},
        {"UPDATE Bill SET [Invoice Time] = '9:30' WHERE rowid = 1",
         "Bill, row 1, column Invoice Time holds \"9:30\", which is not a time"},
        {"UPDATE paidbill SET Fee = 1e16 WHERE rowid = 1",
         "paidbill, row 1, column Fee holds \"10000000000000000\", which is not an amount of "
         "money"},
        {"UPDATE publishers SET Zip = x'3100' WHERE rowid = 1",
         "publishers, row 1, column Zip holds binary data, which is not text"},
        {"UPDATE soldbook SET Price = 1e-5 WHERE rowid = 5",
         "soldbook, row 5, column Price holds \"1.0e-05\", which has more decimal places"},
        {"UPDATE Titles SET [Sale Price] = 12.345678 WHERE BOOKNO = 3",
         "Titles, row 3, column Sale Price holds \"12.345678\", which has more decimal places"},
        {"UPDATE Titles SET Title = 'Red' || char(0) || 'Chamber' WHERE BOOKNO = 3",
         "Titles, row 3, column Title holds \"Red"},
        {"UPDATE Titles SET Title = CAST(x'526564ff' AS TEXT) WHERE BOOKNO = 7",
         "Titles, row 7, column Title holds \"Red\xef\xbf\xbd\", which is not text in UTF-8"},
    };
    for (const auto &bad : cases) {
        SCOPED_TRACE(bad.sql);
        QTemporaryDir dir;
        const QString shop = makeAwkwardShop(dir.filePath("book1.mdb"));
        {
            SqliteFile file(shop, SqliteFile::Mode::ReadWrite);
            run(file, bad.sql);
        }
        const CommandResult copy = copyshop({"--to-server", conninfo(), shop});
        EXPECT_EQ(copy.exitCode, 1);
        EXPECT_TRUE(copy.output.contains(bad.message)) << copy.output.toStdString();
        // Not even the tables stay: the database is as it was.
        Link server(conninfo());
        EXPECT_EQ(server.rows("SELECT count(*) FROM pg_class WHERE relnamespace = "
                              "'public'::regnamespace"),
                  QStringList{"0"});
    }
}

// A journal of an earlier file of the same name would be taken for the copy's own: the copy
// is refused, and the journal is left where it is.
TEST_F(ShopCopy, AJournalLeftBesideTheNewFilesNameIsRefusedAndKept) {
    QTemporaryDir dir;
    ASSERT_EQ(
        copyshop({"--to-server", conninfo(), makeAwkwardShop(dir.filePath("book1.mdb"))}).exitCode,
        0);
    for (const char *suffix : {"-wal", "-shm", "-journal"}) {
        SCOPED_TRACE(suffix);
        const QString file = dir.filePath(QString("home%1.mdb").arg(suffix));
        QFile leftover(file + suffix);
        ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
        leftover.write("the last changes of an earlier shop");
        leftover.close();
        const CommandResult copy = copyshop({"--to-file", conninfo(), file});
        EXPECT_EQ(copy.exitCode, 1);
        EXPECT_TRUE(copy.output.contains(QFileInfo(file).fileName() + suffix + " lies beside"))
            << copy.output.toStdString();
        EXPECT_FALSE(QFileInfo::exists(file));
        ASSERT_TRUE(leftover.open(QIODevice::ReadOnly));
        EXPECT_EQ(leftover.readAll(), "the last changes of an earlier shop");
        leftover.close();
    }
}

// The shop's owner need not be the server's superuser, and is not given a page of the
// superuser's warnings about tables that are not the shop's.
TEST_F(ShopCopy, AnOwnerWhoIsNoSuperuserCopiesWithoutWarnings) {
    QTemporaryDir dir;
    const QString shop = makeAwkwardShop(dir.filePath("book1.mdb"));
    Link server(serverConninfo("postgres"));
    for (const char *group : {"quillmart_till", "quillmart_office"})
        server.run(QString("CREATE ROLE %1 NOLOGIN").arg(group)); // there already, or now
    const QString owner = makeLogin("owner", "LOGIN");
    ASSERT_EQ(server.run(QString("ALTER DATABASE \"%1\" OWNER TO \"%2\"").arg(database(), owner)),
              "");
    const CommandResult copy = copyshop({"--to-server", conninfo(owner), shop});
    EXPECT_EQ(copy.exitCode, 0) << copy.output.toStdString();
    EXPECT_FALSE(copy.output.contains("WARNING")) << copy.output.toStdString();
    Link asOwner(conninfo(owner));
    EXPECT_EQ(asOwner.rows("SELECT count(*) FROM pg_stat_user_tables WHERE relname = 'titles' "
                           "AND last_analyze IS NOT NULL"),
              QStringList{"1"});
}

} // namespace
