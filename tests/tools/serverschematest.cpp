// quillmart-createdb --server: the ten tables as the file has them (names in lower case, the
// same columns in the same order, each declared type as its server kind, the same indexes),
// their hidden key and till columns, val() and the collation; and a second run refused.
#include "serverdatabase.h"
#include "shopfile.h"
#include "sqlitefile.h"
#include "toolrun.h"

#include <QTemporaryDir>

namespace {

using ServerShop = ServerTest;

QStringList fileRows(SqliteFile &file, const QString &sql) {
    QStringList rows;
    SqliteStatement select(file, sql);
    while (select.step()) {
        QStringList values;
        for (int i = 0; i < select.columnCount(); ++i)
            values << select.string(i);
        rows << values.join('|');
    }
    return rows;
}

// A declared type of db/schema.sql as the server's kind, and how the column gets its value.
QString serverKind(const QString &declared, bool key) {
    if (declared == "INTEGER")
        return key ? "integer|d|" : "integer||";
    const QStringList map[] = {{"MONEY", "numeric(19,4)"},
                               {"DATE", "date"},
                               {"TIME", "time(0) without time zone"},
                               {"TEXT", "text"}};
    for (const QStringList &pair : map) {
        if (pair[0] == declared)
            return pair[1] + "||";
    }
    return "unknown type " + declared;
}

TEST_F(ServerShop, CreateDbMakesTheFilesTablesAndRefusesASecondTime) {
    QTemporaryDir home;
    const CommandResult made =
        runTool(QM_CREATEDB_PATH, {"--locale", "zh-Hant-TW", "--server", conninfo()}, home.path());
    ASSERT_EQ(made.exitCode, 0) << made.output.toStdString();

    shopfile::create(home.filePath("book1.mdb"));
    SqliteFile file(home.filePath("book1.mdb"), SqliteFile::Mode::ReadOnly);
    Link server(conninfo());
    const QStringList tables = fileRows(file, "SELECT name FROM sqlite_master WHERE type = "
                                              "'table' AND name NOT LIKE 'sqlite%' ORDER BY rowid");
    ASSERT_EQ(tables.size(), 10);
    QStringList lowerTables;
    for (const QString &table : tables)
        lowerTables << table.toLower();
    EXPECT_EQ(server.rows("SELECT relname FROM pg_class WHERE relkind = 'r' "
                          "AND relnamespace = 'public'::regnamespace ORDER BY oid"),
              lowerTables);

    for (const QString &table : tables) {
        SCOPED_TRACE(table.toStdString());
        const bool autoNumbered = table == "Titles" || table == "retail";
        const bool perTill = table == "tmp" || table == "tempPay";
        QStringList expected;
        QString key;
        for (const QString &row : fileRows(
                 file, QString("SELECT name, type, pk FROM pragma_table_info('%1') ORDER BY cid")
                           .arg(table))) {
            const QStringList parts = row.split('|');
            expected << parts[0].toLower() + "|" + serverKind(parts[1], parts[2] == "1");
            if (parts[2] == "1")
                key = parts[0].toLower();
        }
        if (perTill)
            expected << "till|text||";
        expected << (autoNumbered ? "rowid|bigint||s" : "rowid|bigint|d|");
        EXPECT_EQ(server.rows("SELECT attname, format_type(atttypid, atttypmod), attidentity, "
                              "attgenerated FROM pg_attribute WHERE attrelid = $1::regclass "
                              "AND attnum > 0 AND NOT attisdropped ORDER BY attnum",
                              {table.toLower()}),
                  expected);
        // The rowid is a key of its own: unique, never empty, and on the two tables with an
        // auto-number, that number.
        EXPECT_EQ(server.rows("SELECT a.attnotnull, bool_or(i.indisunique AND i.indnatts = 1) "
                              "FROM pg_attribute a JOIN pg_index i ON i.indrelid = a.attrelid "
                              "AND i.indkey[0] = a.attnum WHERE a.attrelid = $1::regclass AND "
                              "a.attname = 'rowid' GROUP BY a.attnotnull",
                              {table.toLower()}),
                  QStringList{"t|t"});
        if (autoNumbered) {
            EXPECT_EQ(server.rows("SELECT pg_get_expr(adbin, adrelid) FROM pg_attrdef WHERE "
                                  "adrelid = $1::regclass",
                                  {table.toLower()}),
                      QStringList{key});
        }
        EXPECT_EQ(server.rows("SELECT relrowsecurity, relforcerowsecurity FROM pg_class "
                              "WHERE oid = $1::regclass",
                              {table.toLower()}),
                  QStringList{perTill ? "t|t" : "f|f"});
    }

    // The same indexes, by name and columns.
    QStringList fileIndexes;
    for (const QString &index :
         fileRows(file, "SELECT name FROM sqlite_master WHERE type = 'index' AND sql NOT NULL "
                        "ORDER BY name")) {
        fileIndexes << index.toLower() + "|" +
                           fileRows(file, QString("SELECT name FROM pragma_index_info('%1') "
                                                  "ORDER BY seqno")
                                              .arg(index))
                               .join(',')
                               .toLower();
    }
    fileIndexes.sort();
    QStringList serverIndexes = server.rows(
        "SELECT c.relname, string_agg(a.attname, ',' ORDER BY k.n) FROM pg_index x "
        "JOIN pg_class c ON c.oid = x.indexrelid "
        "JOIN pg_class t ON t.oid = x.indrelid AND t.relnamespace = 'public'::regnamespace "
        "CROSS JOIN unnest(x.indkey) WITH ORDINALITY k(attnum, n) "
        "JOIN pg_attribute a ON a.attrelid = t.oid AND a.attnum = k.attnum "
        "WHERE NOT x.indisunique GROUP BY c.relname");
    serverIndexes.sort();
    EXPECT_EQ(serverIndexes, fileIndexes);

    EXPECT_EQ(server.rows("SELECT pg_get_function_identity_arguments(oid), provolatile, "
                          "proparallel, proisstrict FROM pg_proc WHERE proname = 'val' ORDER BY 1"),
              (QStringList{"t text|i|s|t", "x double precision|i|s|t"}));
    EXPECT_EQ(server.rows("SELECT collprovider, collisdeterministic, colliculocale "
                          "FROM pg_collation WHERE collname = 'shoptext'"),
              QStringList{"i|t|zh-Hant-TW-u-ks-level2"});

    // A second shop in the same database is refused, and the first keeps its rows.
    ASSERT_EQ(server.run("INSERT INTO retail (retname) VALUES ('O''Hara Books')"), "");
    const CommandResult again = runTool(QM_CREATEDB_PATH, {"--server", conninfo()}, home.path());
    EXPECT_EQ(again.exitCode, 2) << again.output.toStdString();
    EXPECT_TRUE(again.output.contains("already has the tables titles, subject"))
        << again.output.toStdString();
    EXPECT_EQ(server.rows("SELECT retno, retname, rowid FROM retail"),
              QStringList{"1|O'Hara Books|1"});
}

} // namespace
