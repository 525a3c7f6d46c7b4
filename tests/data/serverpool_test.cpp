// A shop on a server keeps its closed screens' connections for the next screens: the next one
// gets the same server process, as a clean session with its own settings; a connection left in
// a transaction, or whose server process ended, is never handed on; only a few are kept.
#include "connection.h"
#include "opendatabase.h"
#include "testserver.h"

#include <QDeadlineTimer>
#include <QSet>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

namespace {

constexpr char kApplication[] = "quillmart_pool_test";

// The test shop as its owner, a superuser, works it (it may do what a screen never does: make
// temporary tables, change who it is), its connections named so that they can be counted.
ShopDatabase poolShop(int waitLimitSeconds = 0) {
    testserver::freshShop();
    return drivers::open(testserver::ownerLocation() + QStringLiteral(" application_name=") +
                             kApplication,
                         {.waitLimitSeconds = waitLimitSeconds});
}

qint64 backend(Connection &connection) {
    return connection.scalar("SELECT pg_backend_pid()").toLongLong();
}

// Asked on a connection of its own.
qint64 serverCount(const QString &sql) {
    return drivers::connect(testserver::ownerLocation()).scalar(sql).toLongLong();
}

void endBackend(qint64 pid) {
    testserver::ownerExec(QStringLiteral("SELECT pg_terminate_backend(%1, 10000)").arg(pid));
}

TEST(ServerPool, AClosedScreensConnectionIsHandedOnCleanOrNotAtAll) {
    if (!testserver::enabled())
        GTEST_SKIP() << "a server's connections (test_data_server)";
    struct Case {
        const char *what;
        std::function<void(Connection &)> leave; // what the first screen does before it closes
        bool reused;
        QString check;        // asked on the next screen's connection
        std::string expected; // its answer
        int firstLimit = 0;   // each screen's time limit, in seconds
        int nextLimit = 0;
        bool endWhileKept = false; // its server process ends after the close
    };
    const Case cases[] = {
        {"closed idle", [](Connection &) {}, true, "SELECT 1", "1"},
        {"a setting of its own", [](Connection &c) { c.exec("SET work_mem = '7MB'"); }, true,
         "SELECT current_setting('work_mem') <> '7MB'", "1"},
        {"a temporary table", [](Connection &c) { c.exec("CREATE TEMP TABLE scratch (n int)"); },
         true, "SELECT to_regclass('pg_temp.scratch') IS NULL", "1"},
        {"an advisory lock", [](Connection &c) { c.scalar("SELECT pg_advisory_lock(7)"); }, true,
         "SELECT count(*) FROM pg_locks WHERE locktype = 'advisory' AND pid = pg_backend_pid()",
         "0"},
        {"working as another login",
         [](Connection &c) {
             c.exec(QStringLiteral("SET SESSION AUTHORIZATION %1").arg(testserver::officeLogin()));
         },
         true, QStringLiteral("SELECT session_user <> '%1'").arg(testserver::officeLogin()), "1"},
        {"a long read stopped",
         [](Connection &c) {
             Statement rows = c.prepare("SELECT n FROM generate_series(1, 1000000) AS n");
             rows.step();
         },
         true, "SELECT 1", "1"},
        {"the next screen's own limit", [](Connection &) {}, true,
         "SELECT current_setting('lock_timeout') || ' ' || current_setting('statement_timeout')",
         "7s 7s", 0, 7},
        {"the next screen without a limit", [](Connection &) {}, true,
         "SELECT current_setting('lock_timeout')", "0", 30, 0},
        {"closed in a transaction", [](Connection &c) { c.begin(); }, false, "SELECT 1", "1"},
        {"its server process ended while open", [](Connection &c) { endBackend(backend(c)); },
         false, "SELECT 1", "1"},
        {"its server process ended while kept", [](Connection &) {}, false, "SELECT 1", "1", 0, 0,
         true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const ShopDatabase shop = poolShop(c.firstLimit);
        qint64 first = 0;
        {
            Connection screen = shop.connect();
            first = backend(screen);
            c.leave(screen);
        }
        if (c.endWhileKept)
            endBackend(first);
        Connection next = shop.withSettings({.waitLimitSeconds = c.nextLimit}).connect();
        EXPECT_EQ(backend(next) == first, c.reused);
        EXPECT_EQ(next.scalar(c.check).toString().toStdString(), c.expected);
    }
}

// At most four closed screens' connections are kept; the next screens take those first.
TEST(ServerPool, OnlyAFewAreKept) {
    if (!testserver::enabled())
        GTEST_SKIP() << "a server's connections (test_data_server)";
    const QString counted = QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE "
                                           "application_name = '%1'")
                                .arg(kApplication);
    const ShopDatabase shop = poolShop();
    QSet<qint64> before, after;
    {
        std::vector<Connection> screens;
        for (int i = 0; i < 6; ++i) {
            screens.push_back(shop.connect());
            before << backend(screens.back());
        }
        EXPECT_EQ(serverCount(counted), 6);
    }
    // The server processes of those let go end a moment after their close.
    qint64 open = 0;
    for (QDeadlineTimer wait(10000); (open = serverCount(counted)) > 4 && !wait.hasExpired();)
        QThread::msleep(20);
    EXPECT_EQ(open, 4);
    std::vector<Connection> screens;
    for (int i = 0; i < 6; ++i) {
        screens.push_back(shop.connect());
        after << backend(screens.back());
    }
    EXPECT_EQ((before & after).size(), 4);
}

} // namespace
