// A shop file keeps its closed screens' connections for the next screens: the next screen's
// session finds nothing the one before left, keeps to the shop's commit gate and its own busy
// time-out, and reads the file that is at the shop's path now, never one put aside.
#include "commitgate.h"
#include "connection.h"
#include "databaseerrors.h"
#include "driver.h"
#include "shopbackups.h"
#include "shopfile.h"
#include "sqlitefile.h"
#include "testserver.h"
#include "testsupport.h"

#include <QThread>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QDateTime kNow(QDate(2026, 12, 9), QTime(16, 0));

// Stores a subject in a transaction of its own: "(done)" or why it was refused.
QString storeSubject(Connection &connection) {
    return refusalOf([&] {
        Transaction transaction(connection);
        connection.exec("INSERT INTO Subject ([Subject No], Subject) VALUES (9, 'Poetry')");
        transaction.commit();
    });
}

TEST(FilePool, TheNextScreenFindsACleanSessionOnTheFileAtThePathNow) {
    if (testserver::enabled())
        GTEST_SKIP() << "a shop file's connections (test_data)";
    const QString refused = "This was not stored. The shop database is damaged.";
    struct Case {
        const char *what;
        bool kept; // whether the first screen's connection is kept for the next
        std::function<void(Connection &)> leave; // what the first screen does before it closes
        std::function<void(TestDatabase &)> meanwhile; // after the first screen closes
        std::function<QString(Connection &)> check;    // on the next screen's session
        QString expected;
        int nextBusyTimeoutMs = kScreenBusyTimeoutMs;
    };
    const auto nothing = [](auto &) {};
    std::unique_ptr<QThread> otherProgram;
    const auto subjects = [](Connection &c) { return c.scalar("SELECT count(*) FROM Subject"); };
    const Case cases[] = {
        {"a temporary table", false, [](Connection &c) { c.exec("CREATE TEMP TABLE scratch (n)"); },
         nothing,
         [](Connection &c) {
             return c.scalar("SELECT count(*) FROM temp.sqlite_master").toString();
         },
         "0"},
        {"a transaction left open", false,
         [](Connection &c) {
             c.begin();
             c.exec("INSERT INTO Subject ([Subject No], Subject) VALUES (1, 'Fiction')");
         },
         nothing,
         [&](Connection &c) {
             const QString stored = storeSubject(c);
             return stored + " " + subjects(c).toString();
         },
         "(done) 1"},
        {"writes refused by a pragma", false, [](Connection &c) { c.exec("PRAGMA query_only=1"); },
         nothing, storeSubject, "(done)"},
        {"the file found damaged", true, nothing,
         [&](TestDatabase &db) { db.shop().commitGate().verdict(refused); }, storeSubject, refused},
        {"another program writing", true, nothing,
         [&](TestDatabase &db) {
             // It lets go a moment after the next screen begins to wait for it.
             auto other = std::make_shared<SqliteFile>(db.path(), SqliteFile::Mode::ReadWrite);
             other->exec("BEGIN IMMEDIATE");
             otherProgram.reset(QThread::create([other] {
                 QThread::msleep(300);
                 other->exec("COMMIT");
             }));
             otherProgram->start();
         },
         storeSubject, "(done)", 10000},
        {"the file restored from a backup", true,
         [](Connection &c) {
             ShopBackups(*c.shop().localFile()).take(kNow.addDays(-1));
             c.exec("INSERT INTO Subject ([Subject No], Subject) VALUES (1, 'Art')");
         },
         [](TestDatabase &db) {
             ShopBackups(db.path()).restore(ShopBackups(db.path()).list().value(0), kNow);
         },
         [&](Connection &c) { return subjects(c).toString(); }, "0"},
        {"a new shop made at the path", true,
         [](Connection &c) {
             c.exec("INSERT INTO Subject ([Subject No], Subject) VALUES (1, 'Art')");
         },
         [](TestDatabase &db) {
             SqliteFile::remove(db.path());
             shopfile::create(db.path());
         },
         [&](Connection &c) { return subjects(c).toString(); }, "0"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TestDatabase db;
        {
            // A screen that would not wait at all for another program's write.
            Connection first = db.shop().withSettings({.busyTimeoutMs = 0}).connect();
            c.leave(first);
        }
        EXPECT_EQ(db.shop().driverState()->idleCount(), c.kept ? 1u : 0u);
        c.meanwhile(db);
        Connection next = db.shop().withSettings({.busyTimeoutMs = c.nextBusyTimeoutMs}).connect();
        EXPECT_EQ(c.check(next).toStdString(), c.expected.toStdString());
        if (otherProgram)
            otherProgram->wait();
        otherProgram.reset();
    }
}

// A shop file gone after its screens closed is reported as before: no kept connection reads
// the file that is no longer there.
TEST(FilePool, AFileGoneSinceTheScreensClosedIsAMissingShop) {
    if (testserver::enabled())
        GTEST_SKIP() << "a shop file's connections (test_data)";
    TestDatabase db;
    db.shop().connect().scalar("SELECT count(*) FROM Subject");
    SqliteFile::remove(db.path());
    EXPECT_EQ(refusalOf([&] { db.shop().connect(); }), dberror::noShopFile(db.path()));
}

} // namespace
