// quillmart-createdb --server and a new shop file both hold the one description of the shop's
// tables (db/schema.sql): the file as it is written, the server with every name in lower case,
// each kind as its server type, the same indexes, the hidden key column, and only the scratch
// tables with a till column and row security; val() and the collation; a second run refused.
#include "serverdatabase.h"
#include "shopfile.h"
#include "shopsteps.h"
#include "shoptables.h"
#include "shopversion.h"
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

// A kind as db/schema.sql declares it, and as the server holds it.
QString declared(ColumnKind kind) {
    const char *names[] = {"INTEGER", "INTEGER", "MONEY", "DATE", "TIME", "TIMESTAMP", "TEXT"};
    return names[static_cast<int>(kind)];
}
QString serverType(ColumnKind kind) {
    const char *names[] = {"integer",
                           "integer",
                           "numeric(19,4)",
                           "date",
                           "time(0) without time zone",
                           "timestamp(0) without time zone",
                           "text"};
    return names[static_cast<int>(kind)];
}

TEST_F(ServerShop, CreateDbMakesTheDescribedTablesAndRefusesASecondTime) {
    QTemporaryDir home;
    const CommandResult made =
        runTool(QM_CREATEDB_PATH, {"--locale", "zh-Hant-TW", "--server", conninfo()}, home.path());
    ASSERT_EQ(made.exitCode, 0) << made.output.toStdString();

    shopfile::create(home.filePath("book1.mdb"));
    SqliteFile file(home.filePath("book1.mdb"), SqliteFile::Mode::ReadOnly);
    Link server(conninfo());
    QStringList described, scratch, fileIndexes, describedIndexes;
    for (const TableDescription &table : tables::all) {
        described << table.name;
        if (table.scratch)
            scratch << table.name;
        const QString name = QString(table.name).toLower();
        SCOPED_TRACE(name.toStdString());
        QStringList inFile, onServer;
        for (const Column &column : table.columns) {
            const bool key = table.autoNumber && column.position == table.autoNumber->position;
            EXPECT_EQ(key, column.kind == ColumnKind::AutoNumber);
            inFile << QString("%1|%2|%3").arg(column.name, declared(column.kind)).arg(key ? 1 : 0);
            onServer << QString("%1|%2|%3|")
                            .arg(QString(column.name).toLower(), serverType(column.kind),
                                 key ? "d" : "");
        }
        if (table.scratch)
            onServer << "till|text||";
        onServer << (table.autoNumber ? "rowid|bigint||s" : "rowid|bigint|d|");
        EXPECT_EQ(fileRows(file, QString("SELECT name, type, pk FROM pragma_table_info('%1') "
                                         "ORDER BY cid")
                                     .arg(table.name)),
                  inFile);
        EXPECT_EQ(server.rows("SELECT attname, format_type(atttypid, atttypmod), attidentity, "
                              "attgenerated FROM pg_attribute WHERE attrelid = $1::regclass "
                              "AND attnum > 0 AND NOT attisdropped ORDER BY attnum",
                              {name}),
                  onServer);
        // The rowid is a key of its own: unique, never empty, and on a table with an
        // auto-number, that number.
        EXPECT_EQ(server.rows("SELECT a.attnotnull, bool_or(i.indisunique AND i.indnatts = 1) "
                              "FROM pg_attribute a JOIN pg_index i ON i.indrelid = a.attrelid "
                              "AND i.indkey[0] = a.attnum WHERE a.attrelid = $1::regclass AND "
                              "a.attname = 'rowid' GROUP BY a.attnotnull",
                              {name}),
                  QStringList{"t|t"});
        if (table.autoNumber) {
            EXPECT_EQ(server.rows("SELECT pg_get_expr(adbin, adrelid) FROM pg_attrdef WHERE "
                                  "adrelid = $1::regclass",
                                  {name}),
                      QStringList{QString(table.autoNumber->name).toLower()});
        }
        // A till's scratch rows are its own, and kept out of the server's log.
        EXPECT_EQ(server.rows("SELECT relrowsecurity, relforcerowsecurity, relpersistence FROM "
                              "pg_class WHERE oid = $1::regclass",
                              {name}),
                  QStringList{table.scratch ? "t|t|u" : "f|f|p"});
        for (const IndexDescription &index : table.indexes) {
            QStringList columns;
            for (const Column &column : index.columns)
                columns << column.name;
            describedIndexes << QString("%1|%2").arg(index.name, columns.join(','));
        }
    }
    // Every table of the file is described, in its order, and only tmp and tempPay are marked
    // as scratch.
    // The tables of the steps after them.
    for (const TableDescription *table :
         shopversion::tablesOf(shopversion::newest(steps::all), steps::all))
        if (!described.contains(table->name))
            described << table->name;
    // And the steps' indexes.
    for (const StepDescription &step : steps::all)
        for (const StepIndex &index : step.indexes) {
            QStringList columns;
            for (const Column &column : index.columns)
                columns << column.name;
            describedIndexes << QString("%1|%2").arg(index.name, columns.join(','));
        }
    EXPECT_EQ(described, fileRows(file, "SELECT name FROM sqlite_master WHERE type = 'table' "
                                        "AND name NOT LIKE 'sqlite%' ORDER BY rowid"));
    EXPECT_EQ(scratch, (QStringList{"tmp", "tempPay"}));
    EXPECT_EQ(server.rows("SELECT relname FROM pg_class WHERE relkind = 'r' "
                          "AND relnamespace = 'public'::regnamespace ORDER BY oid"),
              QString(described.join(',')).toLower().split(','));

    // The same indexes, by name and columns, in the file and on the server.
    for (const QString &index :
         fileRows(file, "SELECT name FROM sqlite_master WHERE type = 'index' AND sql NOT NULL")) {
        fileIndexes << index + "|" +
                           fileRows(file, QString("SELECT name FROM pragma_index_info('%1') "
                                                  "ORDER BY seqno")
                                              .arg(index))
                               .join(',');
    }
    fileIndexes.sort();
    describedIndexes.sort();
    EXPECT_EQ(fileIndexes, describedIndexes);
    QStringList serverIndexes = server.rows(
        "SELECT c.relname, string_agg(a.attname, ',' ORDER BY k.n) FROM pg_index x "
        "JOIN pg_class c ON c.oid = x.indexrelid "
        "JOIN pg_class t ON t.oid = x.indrelid AND t.relnamespace = 'public'::regnamespace "
        "CROSS JOIN unnest(x.indkey) WITH ORDINALITY k(attnum, n) "
        "JOIN pg_attribute a ON a.attrelid = t.oid AND a.attnum = k.attnum "
        "WHERE NOT x.indisunique GROUP BY c.relname");
    QStringList lowerIndexes = QString(describedIndexes.join(';')).toLower().split(';');
    // The server's list leaves out unique indexes (its keys), a step's among them, and the word
    // search's index of trigrams, which is on an expression, not on columns.
    for (const StepDescription &step : steps::all)
        for (const StepIndex &index : step.indexes)
            if (index.unique)
                lowerIndexes.removeIf([&index](const QString &row) {
                    return row.startsWith(QString(index.name).toLower() + "|");
                });
    // The server has one of its own: the sales by ISBN carrying each row's id, which the
    // file's index of the same columns carries by itself.
    lowerIndexes << "soldbook_isbn_sales|isbn,solddate,qty,rowid";
    serverIndexes.sort();
    lowerIndexes.sort();
    EXPECT_EQ(serverIndexes, lowerIndexes);

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
