// On a server shop another computer's lock holds the counter up no longer than its time
// limit: the operator reads that the shop is busy, nothing is half-written, the looked-up
// sale stays on the screen, and the same OK goes through once the lock is gone. The limit is
// the program's, whatever defaults the login has given itself.
#include "opendatabase.h"
#include "sellscreen.h"
#include "testserver.h"
#include "testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

TEST(ServerWait, ASaleBehindAnotherTillsLockIsToldBusyAndGoesThroughAfter) {
    if (!testserver::enabled())
        GTEST_SKIP() << "runs against the test server (test_sales_server)";
    // What one till could do before it lost the right to, and what the back office still can.
    const char *locks[] = {"LOCK TABLE titles, soldbook IN ACCESS EXCLUSIVE MODE",
                           "LOCK TABLE soldbook IN SHARE MODE", "SELECT * FROM titles FOR UPDATE"};
    for (const char *lock : locks) {
        SCOPED_TRACE(lock);
        TestShop shop;
        shop.db.exec("INSERT INTO Titles (ISBN, Title, [Sale Price], Qty) VALUES "
                     "('111', 'Short', 12.5, 10)");
        shop.context.shop = drivers::open(shop.db.path(), {.waitLimitSeconds = 1});
        SellScreen screen(shop.context);
        screen.findChild<QLineEdit *>("Text1")->setText("111");
        screen.findChild<QLineEdit *>("Text2")->setText("3");
        screen.lookup();
        ASSERT_EQ(screen.findChild<QLabel *>("Label3_1")->text(), "Short");

        Connection holder = drivers::connect(testserver::ownerLocation());
        holder.begin();
        holder.exec(lock);
        screen.findChild<QPushButton *>("Command2")->click();
        ASSERT_EQ(shop.messages.texts().size(), 1);
        EXPECT_TRUE(shop.messages.texts().first().contains("The shop database is busy"))
            << shop.messages.texts().first().toStdString();
        // Nothing of the sale, and the sale is still there to be booked.
        EXPECT_EQ(holder.scalar("SELECT count(*) FROM soldbook").toInt(), 0);
        EXPECT_EQ(holder.scalar("SELECT Qty FROM Titles").toInt(), 10);
        EXPECT_EQ(screen.findChild<QLabel *>("Label3_1")->text(), "Short");
        EXPECT_EQ(screen.findChild<QLabel *>("Label3_3")->text(), "3");
        holder.rollback();

        shop.messages.shown.clear();
        screen.findChild<QPushButton *>("Command2")->click();
        EXPECT_EQ(shop.messages.texts(), QStringList());
        EXPECT_EQ(shop.db.rows("SELECT ISBN, Qty FROM soldbook"), QStringList{"111|3"});
        EXPECT_EQ(shop.db.scalar("SELECT Qty FROM Titles").toInt(), 7);
    }
}

TEST(ServerWait, TheProgramsLimitsOutweighTheLoginsOwnDefaults) {
    if (!testserver::enabled())
        GTEST_SKIP() << "runs against the test server (test_sales_server)";
    TestDatabase db;
    // Any login may set defaults for itself.
    db.connection().exec("ALTER ROLE CURRENT_USER SET lock_timeout = 0");
    db.connection().exec("ALTER ROLE CURRENT_USER SET statement_timeout = 0");
    const struct {
        int seconds;
        const char *shown;
    } limits[] = {{5, "5s"}, {60, "1min"}, {0, "0"}};
    for (const auto &limit : limits) {
        Connection connection =
            drivers::open(db.path(), {.waitLimitSeconds = limit.seconds}).connect();
        for (const char *setting : {"lock_timeout", "statement_timeout"})
            EXPECT_EQ(connection.scalar(QStringLiteral("SHOW %1").arg(setting)).toString(),
                      limit.shown)
                << setting << " " << limit.seconds;
    }
    db.connection().exec("ALTER ROLE CURRENT_USER RESET ALL");
}

} // namespace
