// A till's outbox sent while the shop's server stops and starts and the till's connections are
// cut at random moments, some of them after the server committed a receipt but before the till
// heard: in the end every receipt and refund is on the server once, and every title's stock is
// its start less the copies sold, plus those refunded. The test's own cluster (faultserver.h),
// never the other tests' server.
#include "cashmovementdialog.h"
#include "counteroffline.h"
#include "counterpayments.h"
#include "countersession.h"
#include "counterstart.h"
#include "dataerror.h"
#include "faultserver.h"
#include "offlinecounter.h"
#include "opendatabase.h"
#include "outboxsender.h"
#include "receipts.h"
#include "sellscreen.h"
#include "shopsession.h"
#include "testsupport.h"
#include "tillcopy.h"
#include "tillsessions.h"

#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QThread>
#include <QUuid>
#include <atomic>
#include <gtest/gtest.h>
#include <random>
#include <thread>

namespace {

using namespace faultserver;

struct Title {
    qint64 bookNo;
    QString isbn;
    int start;
    Money price;
};

TEST(OutboxFaults, EveryReceiptReachesTheShopOnceThroughStopsAndCutConnections) {
    ServerShop shop;
    ownerRows(shop.database(),
              QStringLiteral("INSERT INTO tills (name, prefix, login) VALUES ('Till F', 'F', '%1')")
                  .arg(kTill));
    std::vector<Title> titles;
    for (const QString &row :
         ownerRows(shop.database(),
                   "SELECT bookno, isbn, qty, \"sale price\" FROM titles ORDER BY bookno"))
        titles.push_back({row.section('|', 0, 0).toLongLong(), row.section('|', 1, 1),
                          row.section('|', 2, 2).toInt(), *Money::parse(row.section('|', 3, 3))});
    ASSERT_EQ(titles.size(), 2u);
    Connection office = drivers::connect(shop.location());
    shop::addCounterDefaults(office, false); // payments stay off: refunds name no method
    const qint64 cash =
        ownerRows(shop.database(), "SELECT method FROM paymentmethods WHERE kind = 'cash'")
            .at(0)
            .toLongLong();

    // 400 receipts made while the server was away, each of one or two copies of one title;
    // every fourth paid in cash and one copy of it refunded.
    QTemporaryDir folder;
    TillCopy copy(TillCopy::fileFor(folder.path(), shop.database()));
    const QDateTime at(QDate(2001, 5, 3), QTime(10, 30));
    constexpr int kReceipts = 400;
    std::vector<int> sold(titles.size(), 0);
    for (int n = 0; n < kReceipts; ++n) {
        const Title &title = titles[std::size_t(n) % titles.size()];
        const int copies = 1 + n % 2;
        sold[std::size_t(n) % titles.size()] += copies;
        ReceiptRecord receipt{QUuid::createUuid().toString(QUuid::WithoutBraces),
                              at,
                              {{1, title.bookNo, title.isbn, QStringLiteral("T"), title.price,
                                copies, at.date(), at.time()}},
                              {},
                              {},
                              {}};
        if (n % 4 == 0) {
            const Money total = title.price.times(copies);
            receipt.payments.push_back({1, cash, total, total, Money(), at});
            receipt.paidAt = at;
        }
        copy.queueReceipt(receipt);
        if (n % 4 == 0) {
            copy.queueRefund(
                {QUuid::createUuid().toString(QUuid::WithoutBraces),
                 receipt.id,
                 QStringLiteral("Changed mind"),
                 std::nullopt,
                 at.addSecs(60),
                 {{1, 1, title.bookNo, title.isbn, QStringLiteral("T"), title.price, 1, false}}},
                0);
            sold[std::size_t(n) % titles.size()] -= 1;
        }
    }
    const auto waiting = [&copy] { return copy.waiting() + copy.refundsWaiting(); };

    // Meanwhile the till's connections are cut every few milliseconds, and the server is
    // stopped at once and started again twice.
    std::atomic<bool> done{false};
    std::thread cutter([&] {
        std::mt19937 random(30);
        int restarts = 0;
        while (!done) {
            QThread::msleep(std::uniform_int_distribution<int>(2, 40)(random));
            try {
                if (restarts < 2 && std::uniform_int_distribution<int>(0, 60)(random) == 0) {
                    ++restarts;
                    stopImmediately();
                    QThread::msleep(200);
                    control(QStringLiteral("start"));
                } else {
                    ownerRows(shop.database(),
                              "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE "
                              "usename = $1 AND datname = $2",
                              {kTill, shop.database()});
                }
            } catch (const DataError &) {
                // the server was down at that moment: the next cut tries again
            }
        }
    });
    int tries = 0, interruptions = 0;
    for (QDeadlineTimer limit(240000); waiting() > 0 && !limit.hasExpired(); ++tries) {
        try {
            ShopSession sending(drivers::open(shop.location()));
            const offline::SendReport report = offline::sendOutbox(copy, sending, at);
            EXPECT_TRUE(report.refused.empty()) << report.refused.front().second.toStdString();
            EXPECT_TRUE(report.refusedRefunds.empty())
                << report.refusedRefunds.front().second.toStdString();
            interruptions += report.interrupted ? 1 : 0;
        } catch (const DataError &) {
            ++interruptions; // the server could not be reached to begin with
            QThread::msleep(50);
        }
    }
    done = true;
    cutter.join();
    // A last try on a quiet server, for what was left when the time ran out.
    if (waiting() > 0) {
        ShopSession sending(drivers::open(shop.location()));
        offline::sendOutbox(copy, sending, at);
    }

    EXPECT_GT(interruptions, 0) << "no cut landed in the sending";
    EXPECT_EQ(waiting(), 0);
    EXPECT_EQ(shop.value("SELECT count(*) FROM receipts"), QString::number(kReceipts));
    EXPECT_EQ(shop.value("SELECT count(*) FROM receiptlines"), QString::number(kReceipts));
    EXPECT_EQ(shop.value("SELECT count(*) FROM refunds"), QString::number(kReceipts / 4));
    EXPECT_EQ(shop.value("SELECT count(*) FROM refundlines"), QString::number(kReceipts / 4));
    EXPECT_EQ(shop.value("SELECT count(*) FROM soldbook"),
              QString::number(kReceipts + kReceipts / 4));
    EXPECT_EQ(shop.value("SELECT count(*) FROM receivedreceipts"), QString::number(kReceipts));
    EXPECT_EQ(shop.value("SELECT count(DISTINCT tillnumber) FROM receivedreceipts"),
              QString::number(kReceipts));
    for (std::size_t i = 0; i < titles.size(); ++i)
        EXPECT_EQ(
            shop.value(
                QStringLiteral("SELECT qty FROM titles WHERE bookno = %1").arg(titles[i].bookNo)),
            QString::number(titles[i].start - sold[i]))
            << titles[i].isbn.toStdString();
}

// The counter of a till whose session opened while the server answered: the server stops, and
// the counter goes on selling from its copy, each receipt kept on the till under its own number
// and the status line saying so; the session does not close while receipts wait; once the
// server is back the receipt is sent and the status line goes.
TEST(CounterOffline, SellsFromItsCopyWhileTheServerIsAwayAndSendsWhenItIsBack) {
    ServerShop shop;
    openTillF(shop);
    QTemporaryDir folder;
    TestShop till;
    tillOf(till, shop, folder, shop.database());
    SellScreen screen(till.context);
    auto *offline = screen.findChild<CounterOffline *>();
    ASSERT_NE(offline, nullptr);
    offline->look(); // while the server answers, the copy is made
    EXPECT_EQ(till.context.tillCopy->titleCount(), 2);
    EXPECT_FALSE(offline->status()->isVisibleTo(&screen));

    stopImmediately();
    const auto sell = [&](const char *isbn, const char *copies) {
        faultserver::sell(screen, isbn, copies);
    };
    sell("9789570000002", "3");
    sell("9789570000001", "1");
    EXPECT_EQ(till.messages.texts(), QStringList());
    EXPECT_EQ(screen.saleTotal(), Money::fromUnits(410 * Money::unitsPerOne));
    EXPECT_TRUE(offline->status()->isVisibleTo(&screen));
    EXPECT_TRUE(offline->status()->text().startsWith("Offline: 1 receipt waiting"))
        << offline->status()->text().toStdString();
    EXPECT_EQ(till.context.tillCopy->findIsbn("9789570000002")->stock, 47);
    // What needs the server says so, and the session does not close while receipts wait.
    // Cash In is kept on the till, in the session known there.
    screen.tillSession()->closeSession();
    screen.tillSession()->moveCash(true);
    auto *cashIn = screen.findChild<CashMovementDialog *>("dlgCashIn");
    ASSERT_NE(cashIn, nullptr);
    cashIn->amountBox()->setText("20");
    cashIn->reasonBox()->setText("Change from the bank");
    EXPECT_TRUE(cashIn->recordMovement());
    screen.payments()->chooseUnpaid();
    ASSERT_EQ(till.messages.texts().size(), 3);
    EXPECT_TRUE(till.messages.texts()[0].contains("not on the server yet"));
    EXPECT_TRUE(till.messages.texts()[1].startsWith("The cash is recorded on this till"));
    EXPECT_TRUE(till.messages.texts()[2].startsWith("The list of unpaid receipts needs"));
    EXPECT_TRUE(offline->status()->text().startsWith(
        "Offline: 1 receipt waiting, and 1 cash movement. Last contact"))
        << offline->status()->text().toStdString();
    till.messages.shown.clear();
    till.clock.set(QDate(2001, 5, 3), QTime(10, 31));
    offline->look(); // the server is still away
    EXPECT_EQ(offline->waiting(), 1);

    control(QStringLiteral("start"));
    offline->look(); // tried again only a minute later
    EXPECT_EQ(offline->waiting(), 1);
    till.clock.set(QDate(2001, 5, 3), QTime(10, 32));
    offline->look();
    EXPECT_EQ(offline->waiting(), 0);
    EXPECT_FALSE(offline->status()->isVisibleTo(&screen));
    EXPECT_EQ(shop.value("SELECT count(*) FROM receiptlines"), "2");
    EXPECT_EQ(shop.value("SELECT tillnumber FROM receivedreceipts"), "1");
    EXPECT_EQ(shop.value("SELECT qty FROM titles WHERE isbn = '9789570000002'"), "47");
    EXPECT_EQ(offline->cashWaiting(), 0);
    EXPECT_EQ(shop.value("SELECT direction, amount = 20, reason FROM cashmovements"),
              "in|t|Change from the bank");
    // The counter is back on the server: the next copy sold is the same receipt's third line.
    sell("9789570000002", "1");
    EXPECT_EQ(till.messages.texts(), QStringList());
    EXPECT_EQ(shop.value("SELECT count(*) FROM receiptlines"), "3");
    EXPECT_EQ(shop.value("SELECT qty FROM titles WHERE isbn = '9789570000002'"), "46");
    EXPECT_EQ(offline->waiting(), 0);
}

// A till started while the server is down: its counter opens from what the till kept when it
// last reached the server, sells in the session open then, and the main window hears that it
// is offline; once the server answers the receipt goes to that session. A till that kept
// nothing, or no open session, says that the counter needs the server once to start.
TEST(CounterOffline, ATillStartedWhileTheServerIsDownSellsFromWhatItKept) {
    ServerShop shop;
    const qint64 sessionId = openTillF(shop);
    QTemporaryDir folder;
    struct Case {
        const char *name;
        const char *kept; // "counter": a counter opened online once; "no session"; "": nothing
        bool opens;
    };
    const Case cases[] = {{"kept by the counter", "counter", true},
                          {"kept without a session", "no session", false},
                          {"nothing kept", "", false}};
    std::vector<std::unique_ptr<TestShop>> tills;
    for (const Case &c : cases) {
        tills.push_back(std::make_unique<TestShop>());
        tillOf(*tills.back(), shop, folder, QString::fromLatin1(c.name));
        if (QByteArray(c.kept) == "counter")
            SellScreen(tills.back()->context).findChild<CounterOffline *>()->look();
        else if (QByteArray(c.kept) == "no session")
            counterstart::keep(*tills.back()->context.tillCopy,
                               {{true, CashRounding::None}, {}, Till{1, "Till F", "F"}, {}, {}});
    }
    stopImmediately();
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case &c = cases[i];
        SCOPED_TRACE(c.name);
        TestShop &till = *tills[i];
        QString barSays = QStringLiteral("(never)");
        till.context.showOffline = [&barSays](const QString &text) { barSays = text; };
        if (!c.opens) {
            try {
                SellScreen refused(till.context);
                ADD_FAILURE() << "the counter opened";
            } catch (const DataError &error) {
                EXPECT_TRUE(error.sentence().startsWith("The shop server cannot be reached"));
                EXPECT_TRUE(error.sentence().contains("needs the shop's server once to start"));
            }
            continue;
        }
        SellScreen screen(till.context);
        auto *offline = screen.findChild<CounterOffline *>();
        EXPECT_TRUE(offline->isOffline());
        ASSERT_TRUE(screen.tillSession()->current());
        EXPECT_EQ(screen.tillSession()->current()->id, sessionId);
        sell(screen, "9789570000002", "2");
        EXPECT_EQ(till.messages.texts(), QStringList());
        EXPECT_EQ(offline->waiting(), 1);
        EXPECT_TRUE(barSays.startsWith("Offline: 1 receipt waiting. Last contact"))
            << barSays.toStdString();
        EXPECT_EQ(barSays, offline->status()->text());

        control(QStringLiteral("start"));
        till.clock.set(QDate(2001, 5, 3), QTime(10, 32));
        offline->look();
        EXPECT_EQ(offline->waiting(), 0);
        EXPECT_EQ(barSays, QString());
        EXPECT_EQ(shop.value("SELECT session FROM receiptsessions"), QString::number(sessionId));
        EXPECT_EQ(shop.value("SELECT sum(qty) FROM receiptlines"), "2");
        stopImmediately(); // as the next case expects
    }
    control(QStringLiteral("start"));
}

} // namespace
