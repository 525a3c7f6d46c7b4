// A till's outbox sent while the shop's server stops and starts and the till's connections are
// cut at random moments, some of them after the server committed a receipt but before the till
// heard: in the end every receipt is on the server once, and every title's stock is its start
// less the copies sold. The test's own cluster (faultserver.h), never the other tests' server.
#include "dataerror.h"
#include "faultserver.h"
#include "opendatabase.h"
#include "outboxsender.h"
#include "shopsession.h"
#include "tillcopy.h"

#include <QDeadlineTimer>
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

    // 400 receipts made while the server was away, each of one or two copies of one title.
    QTemporaryDir folder;
    TillCopy copy(TillCopy::fileFor(folder.path(), shop.database()));
    const QDateTime at(QDate(2001, 5, 3), QTime(10, 30));
    constexpr int kReceipts = 400;
    std::vector<int> sold(titles.size(), 0);
    for (int n = 0; n < kReceipts; ++n) {
        const Title &title = titles[std::size_t(n) % titles.size()];
        const int copies = 1 + n % 2;
        sold[std::size_t(n) % titles.size()] += copies;
        copy.queueReceipt({QUuid::createUuid().toString(QUuid::WithoutBraces),
                           at,
                           {{1, title.bookNo, title.isbn, QStringLiteral("T"), title.price, copies,
                             at.date(), at.time()}},
                           {},
                           {},
                           {}});
    }

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
    for (QDeadlineTimer limit(240000); copy.waiting() > 0 && !limit.hasExpired(); ++tries) {
        try {
            ShopSession sending(drivers::open(shop.location()));
            const offline::SendReport report = offline::sendOutbox(copy, sending, at);
            EXPECT_TRUE(report.refused.empty()) << report.refused.front().second.toStdString();
            interruptions += report.interrupted ? 1 : 0;
        } catch (const DataError &) {
            ++interruptions; // the server could not be reached to begin with
            QThread::msleep(50);
        }
    }
    done = true;
    cutter.join();
    // A last try on a quiet server, for what was left when the time ran out.
    if (copy.waiting() > 0) {
        ShopSession sending(drivers::open(shop.location()));
        offline::sendOutbox(copy, sending, at);
    }

    EXPECT_GT(interruptions, 0) << "no cut landed in the sending";
    EXPECT_EQ(copy.waiting(), 0);
    EXPECT_EQ(shop.value("SELECT count(*) FROM receipts"), QString::number(kReceipts));
    EXPECT_EQ(shop.value("SELECT count(*) FROM receiptlines"), QString::number(kReceipts));
    EXPECT_EQ(shop.value("SELECT count(*) FROM soldbook"), QString::number(kReceipts));
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

} // namespace
