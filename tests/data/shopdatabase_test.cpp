// The shop as the program holds it: the commit gate's verdicts, what each driver names, the
// tables' columns from each engine's catalogue, and the kinds of the file's failures.
#include "commitgate.h"
#include "connection.h"
#include "dataerror.h"
#include "engine.h"
#include "opendatabase.h"
#include "shopfile.h"
#include "shoptables.h"
#include "testserver.h"
#include "testsupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace {

using namespace std::chrono_literals;

// A commit asks the gate: it waits while the check runs, then keeps to the verdict; a check
// that never ends does not stop the shop for good.
TEST(CommitGate, ACommitWaitsForTheCheckAndKeepsToItsVerdict) {
    struct Case {
        const char *what;
        bool checking;
        std::vector<QString> verdicts; // given before the commit asks
        std::optional<QString> later;  // given while it waits
        QString expected;
    };
    const Case cases[] = {
        {"never checked", false, {}, std::nullopt, ""},
        {"found sound", true, {""}, std::nullopt, ""},
        {"found damaged", true, {"damaged"}, std::nullopt, "damaged"},
        {"restored after the damage", true, {"damaged", ""}, std::nullopt, ""},
        {"the verdict comes while it waits", true, {}, QString("damaged"), "damaged"},
        {"a check that never ends", true, {}, std::nullopt, ""},
    };
    for (const Case &c : cases) {
        CommitGate gate(200ms);
        if (c.checking)
            gate.checking();
        for (const QString &verdict : c.verdicts)
            gate.verdict(verdict);
        std::unique_ptr<QThread> verdictLater;
        if (c.later) {
            verdictLater.reset(QThread::create([&] {
                QThread::msleep(50);
                gate.verdict(*c.later);
            }));
            verdictLater->start();
        }
        EXPECT_EQ(gate.refusal(), c.expected) << c.what;
        if (verdictLater)
            verdictLater->wait();
    }
}

// Every connection of the shop, with any settings, is refused by its one gate: the whole
// transaction is rolled back and the check's message says why.
TEST(CommitGate, EveryConnectionOfTheShopKeepsToTheVerdict) {
    if (testserver::enabled())
        GTEST_SKIP() << "the check at start is a shop file's (test_data)";
    TestDatabase db;
    Connection before = db.shop().connect();
    db.shop().commitGate().checking();
    db.shop().commitGate().verdict("This was not stored. The shop database is damaged.");
    Connection after = db.shop().withSettings({.busyTimeoutMs = 100}).connect();
    for (Connection *connection : {&before, &after}) {
        Transaction transaction(*connection);
        connection->exec("INSERT INTO Subject ([Subject No], Subject) VALUES (1, 'Poetry')");
        try {
            transaction.commit();
            ADD_FAILURE() << "the commit went through";
        } catch (const DataError &error) {
            EXPECT_EQ(error.sentence(), "This was not stored. The shop database is damaged.");
            EXPECT_EQ(error.kind(), DataError::Kind::Damaged);
        }
    }
    EXPECT_EQ(db.count("Subject"), 0);
}

// Each driver names its shop, and only a shop file is one on this computer; a password in a
// server's settings is never shown.
TEST(ShopDatabase, EachDriverNamesItsShop) {
    struct Case {
        QString location;
        std::optional<QString> localFile;
        QString described, shortName;
    } cases[] = {
        {"/shops/book1.mdb", QString("/shops/book1.mdb"), "/shops/book1.mdb", "book1.mdb"},
        {"postgresql:host=backoffice dbname=shop user=till1 password=secret", std::nullopt,
         "Server shop: shop on backoffice", "shop"},
        {"postgresql:service=shop", std::nullopt, "Server shop: service shop", "service shop"},
        {"postgresql:host=/run/postgresql dbname=shop", std::nullopt,
         "Server shop: shop on this computer", "shop"},
        {"postgresql:password='secret", std::nullopt, "Server shop", "the default database"},
    };
    for (const Case &c : cases) {
        const ShopDatabase shop = drivers::open(c.location);
        EXPECT_EQ(shop.localFile(), c.localFile) << c.location.toStdString();
        EXPECT_EQ(shop.describe(), c.described) << c.location.toStdString();
        EXPECT_EQ(shop.shortName(), c.shortName) << c.location.toStdString();
        EXPECT_EQ(shop.withSettings({.waitLimitSeconds = 5}).describe(), c.described);
    }
}

// The engine's catalogue gives each table's columns as the shop spells them, in their order,
// of their kinds, with the key; a table that is not there has none.
TEST(ShopDatabase, TheCatalogueGivesEachTablesColumns) {
    TestDatabase db;
    for (const TableDescription &table : tables::all) {
        QStringList expected, actual;
        for (const Column &column : table.columns)
            expected << QStringLiteral("%1|%2|%3")
                            .arg(column.name)
                            .arg(static_cast<int>(column.kind))
                            .arg(column.kind == ColumnKind::AutoNumber);
        for (const TableColumn &column : db.connection().columnsOf(table.name))
            actual << QStringLiteral("%1|%2|%3")
                          .arg(column.name)
                          .arg(static_cast<int>(column.kind))
                          .arg(column.key);
        EXPECT_EQ(actual, expected) << table.name;
    }
    for (const char *none : {"NoSuchTable", "Titles]", "Titles\""})
        EXPECT_TRUE(db.connection().columnsOf(none).empty()) << none;
}

// The file's failures come with the kind the code may act on.
TEST(ShopDatabase, TheFilesFailuresHaveTheirKinds) {
    if (testserver::enabled())
        GTEST_SKIP() << "a shop file's failures (test_data)";
    QTemporaryDir dir;
    const QString path = dir.filePath("book1.mdb");
    shopfile::create(path);
    const QString junk = dir.filePath("junk.mdb");
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(8192, 'x'));
    file.close();
    Connection holder = drivers::connect(path);
    holder.begin(); // holds the write lock
    const struct {
        const char *what;
        std::function<void()> fail;
        DataError::Kind kind;
    } cases[] = {
        {"no file", [&] { drivers::connect(path + ".gone"); }, DataError::Kind::Missing},
        {"not a database", [&] { drivers::connect(junk); }, DataError::Kind::Damaged},
        {"another program writes",
         [&] { drivers::open(path, {.busyTimeoutMs = 50}).connect().begin(); },
         DataError::Kind::Busy},
        {"a wrong statement", [&] { holder.exec("SELEC 1"); }, DataError::Kind::Other},
    };
    for (const auto &c : cases) {
        try {
            c.fail();
            ADD_FAILURE() << c.what << ": no failure";
        } catch (const DataError &error) {
            EXPECT_EQ(error.kind(), c.kind) << c.what << ": " << error.description().toStdString();
        }
    }
    holder.rollback();
}

} // namespace
