// What a connection keeps of the texts it runs, on both engines: a kept statement answers for
// the values bound now and for the table as it is now, and the store of them stays bounded; a
// write it runs tells the rows it changed.
#include "connection.h"
#include "keptbytext.h"
#include "recordsource.h"
#include "shopsession.h"
#include "shoptables.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace {

// Every row of the record source, its fields joined by '|', the rows by ','.
QString rowsOf(RecordSource &source) {
    QStringList rows;
    for (int row = 0; row < source.recordCount(); ++row) {
        QStringList fields;
        for (int column = 0; column < source.fieldCount(); ++column)
            fields << source.textAt(row, column);
        rows << fields.join('|');
    }
    return rows.join(',');
}

// One record source opened again and again on the same text: each time the rows of the values
// bound then, never those of the values before.
TEST(KeptStatements, ARecordSourceReadsTheValuesBoundNow) {
    TestDatabase db;
    db.exec("INSERT INTO tmp VALUES ('1', 'one', 'x'), ('2', 'two', 'y'), ('2', 'deux', 'y'), "
            "('O''Hara', 'quote', 'z'), ('', 'empty', 'e')");
    const QString byA = QStringLiteral("select [B] from tmp where [A] = ?1");
    const struct {
        QString text;
        QVariantList values;
        const char *rows;
    } cases[] = {
        {byA, {"1"}, "one"},
        {byA, {"2"}, "two,deux"},
        {byA, {"3"}, ""},
        {byA, {"O'Hara"}, "quote"},
        {byA, {""}, "empty"},
        // An empty box's text is an empty text, as it was when written into the query.
        {byA, {QString()}, "empty"},
        {byA, {"1"}, "one"},
        {"select [B] from tmp where [C] = ?2 and [A] = ?1 order by [B]", {"2", "y"}, "deux,two"},
        {"select [B] from tmp where [C] = ?2 and [A] = ?1 order by [B]", {"1", "y"}, ""},
        {"select * from tmp where [A] = ?1", {"1"}, "1|one|x"},
    };
    const auto session = ShopSession::open(db.shop());
    RecordSource source("tmp", session);
    for (const auto &c : cases) {
        source.open(c.text, c.values);
        EXPECT_EQ(rowsOf(source).toStdString(), c.rows)
            << c.text.toStdString() << " " << c.values.value(0).toString().toStdString();
    }
    // Read again after a change elsewhere, with the values it was opened with.
    source.open(byA, {"2"});
    db.exec("INSERT INTO tmp VALUES ('2', 'zwei', 'y'), ('1', 'uno', 'x')");
    source.requery();
    EXPECT_EQ(rowsOf(source).toStdString(), "two,deux,zwei");
}

// A write tells how many rows it changed, as text or as a built statement; a statement run
// again with each row's values writes each row.
TEST(KeptStatements, AWriteTellsTheRowsItChanged) {
    TestDatabase db;
    Connection &connection = db.connection();
    Statement insert =
        connection.prepare(QStringLiteral("INSERT INTO tmp ([A], [B], [C]) VALUES (?1, ?2, 'x')"));
    for (const char *a : {"1", "2", "3"})
        insert.run({a, "row"});
    const struct {
        const char *sql;
        QVariantList values;
        int changed;
    } cases[] = {
        {"UPDATE tmp SET [B] = 'one' WHERE [A] = ?1", {"1"}, 1},
        {"UPDATE tmp SET [B] = 'none' WHERE [A] = ?1", {"9"}, 0},
        {"UPDATE tmp SET [C] = ?1", {"y"}, 3},
        {"INSERT INTO tmp ([A], [B], [C]) VALUES (?1, 'four', 'z')", {"4"}, 1},
        {"DELETE FROM tmp WHERE [A] IN (?1, ?2)", {"1", "4"}, 2},
    };
    for (const auto &c : cases)
        EXPECT_EQ(connection.write(QString::fromLatin1(c.sql), c.values), c.changed) << c.sql;
    EXPECT_EQ(db.rows("SELECT [A], [B], [C] FROM tmp ORDER BY [A]"),
              (QStringList{"2|row|y", "3|row|y"}));
    EXPECT_EQ(connection.write(sqlb::remove(tables::tmp::table)), 2);
}

// A text a record source cannot take with the values it is given is refused as any text is.
TEST(KeptStatements, ParametersBeyondTheValuesAreRefused) {
    TestDatabase db;
    const struct {
        const char *text;
        QVariantList values;
    } cases[] = {
        {"select * from tmp where [A] = ?2", {"1"}},
        {"select * from tmp where [A] = ?1", {}},
        {"select * from tmp where [A] = ?", {"1"}},
        {"select * from tmp where [A] = ?0", {"1"}},
    };
    RecordSource source("tmp", db.shop());
    for (const auto &c : cases) {
        // Refused with too few values even after it ran with enough.
        refusalOf([&] { source.open(c.text, {"1", "2"}); });
        const QString refusal = refusalOf([&] { source.open(c.text, c.values); });
        EXPECT_TRUE(refusal.startsWith("Invalid query text"))
            << c.text << ": " << refusal.toStdString();
    }
}

// A statement kept from before the table changed reads the table as a new connection does.
TEST(KeptStatements, AKeptStatementReadsTheTableAsItIsNow) {
    const struct {
        const char *what;
        QStringList changes;
    } cases[] = {
        {"a column added", {"ALTER TABLE publishers ADD COLUMN Extra TEXT"}},
        {"a column dropped", {"ALTER TABLE publishers DROP COLUMN Name"}},
        {"an index made on what it looks for",
         {"CREATE INDEX publishersPubID ON publishers (PubID)"}},
    };
    const QString statement = QStringLiteral("SELECT * FROM publishers WHERE [PubID] = ?1");
    const QString recordSource =
        QStringLiteral("select [City], [PubID] from publishers where [PubID] = ?1");
    // The row, or the engine's refusal (a dropped column the shop still describes).
    const auto answers = [&](Connection &connection, RecordSource &source) {
        QStringList got;
        got << refusalOf([&] {
            Statement select = connection.prepare(statement);
            select.bind(1, "2");
            while (select.step())
                for (int column = 0; column < select.columnCount(); ++column)
                    got << select.value(column).toString();
        });
        got << refusalOf([&] { source.open(recordSource, {"2"}); }) << rowsOf(source);
        return got.join('|');
    };
    for (const auto &c : cases) {
        TestDatabase db;
        db.exec("INSERT INTO publishers (PubID, Name, City) VALUES ('1', 'One', 'Leeds'), "
                "('2', 'Two', 'York')");
        const auto kept = ShopSession::open(db.shop());
        RecordSource keptSource("publishers", kept);
        const QString before = answers(kept->connection(), keptSource);
        for (const QString &change : c.changes)
            db.exec(change);
        const auto fresh = ShopSession::open(db.shop());
        RecordSource freshSource("publishers", fresh);
        const QString now = answers(fresh->connection(), freshSource);
        EXPECT_TRUE(now.contains("York")) << c.what << ": " << now.toStdString();
        EXPECT_EQ(answers(kept->connection(), keptSource).toStdString(), now.toStdString())
            << c.what << " (before: " << before.toStdString() << ")";
    }
}

// The store keeps its capacity's worth, putting out the one used longest ago.
TEST(KeptStatements, TheStoreKeepsTheRecentlyUsed) {
    const struct {
        const char *what;
        QStringList steps; // +text keeps, ?text finds, -text takes
        const char *out;   // what keeping, finding and taking gave, step by step
    } cases[] = {
        {"the oldest goes", {"+a", "+b", "+c", "+d", "?a", "?d"}, ". . . a - d"},
        {"a find makes it recent", {"+a", "+b", "+c", "?a", "+d", "?b", "?a"}, ". . . a b - a"},
        {"the same text again puts out its old value", {"+a", "+a", "?a"}, ". a a"},
        {"a value taken is kept no more", {"+a", "-a", "?a", "-a"}, ". a - -"},
    };
    for (const auto &c : cases) {
        KeptByText<QString> store(3);
        QStringList out;
        for (const QString &step : c.steps) {
            const QString text = step.mid(1);
            if (step[0] == '+') {
                out << store.keep(text, text).value_or(".");
            } else if (step[0] == '?') {
                const QString *found = store.find(text);
                out << (found ? *found : "-");
            } else {
                out << store.take(text).value_or("-");
            }
            EXPECT_LE(store.size(), 3u) << c.what;
        }
        EXPECT_EQ(out.join(' ').toStdString(), c.out) << c.what;
    }
}

} // namespace
