// The counter of a till whose server went away, giving money back and learning what happened
// to its session meanwhile: refunds of this till's receipts of its session from its own file,
// the rest refused with the reason; work of a session closed elsewhere set aside, and a new
// session asked for before the next sale. On the fault tests' own cluster (faultserver.h).
#include "counteroffline.h"
#include "counterpayments.h"
#include "counterreturns.h"
#include "countersession.h"
#include "counterstart.h"
#include "offlinecounter.h"
#include "refunddialog.h"

#include <QComboBox>
#include <QLabel>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace {

using namespace faultserver;

// Pays the receipt on the counter in full by the till's first method (cash).
void payInFull(SellScreen &screen, TillCopy &copy) {
    const qint64 cash = counterstart::kept(copy)->methods.at(0).id;
    screen.payments()->payByDeposit(cash, screen.payments()->receipt().remaining());
    ASSERT_TRUE(screen.payments()->receiptPaid());
}

QStringList told(TestShop &till) {
    const QStringList texts = till.messages.texts();
    till.messages.shown.clear();
    return texts;
}

TEST(CounterOffline, RefundsThisTillsReceiptsOfItsSessionWhileTheServerIsAway) {
    ServerShop shop;
    const qint64 sessionId = openTillF(shop);
    QTemporaryDir folder;
    TestShop till;
    tillOf(till, shop, folder, shop.database());
    SellScreen screen(till.context);
    auto *offline = screen.findChild<CounterOffline *>();
    offline->look(); // the copy and what the counter needs, refund reasons among it
    sell(screen, "9789570000002", "2");
    payInFull(screen, *till.context.tillCopy); // F1, stored on the server and kept
    stopImmediately();
    sell(screen, "9789570000001", "1");
    payInFull(screen, *till.context.tillCopy); // F-1, made offline
    EXPECT_EQ(screen.payments()->receipt().readable(), "F-1");
    sell(screen, "9789570000002", "1"); // F-2, not paid yet
    EXPECT_EQ(told(till), QStringList());

    struct Step {
        const char *receipt; // as typed
        qint64 copies;       // of its first line; 0: its lines do not show
        const char *told;
    };
    const Step steps[] = {
        {"F1", 1, "The refund is recorded on this till"},
        {" f-1 ", 1, "The refund is recorded on this till"},
        {"F1", 2, "The refund is recorded on this till"}, // only 1 left: capped
        {"F7", 0, "The receipt F7 is not among this till's receipts of its open session"},
        {"F-2", 0, "The receipt F-2 is not paid"},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.receipt);
        RefundDialog *dialog = screen.returns()->refund();
        ASSERT_NE(dialog, nullptr) << told(till).join(' ').toStdString();
        EXPECT_FALSE(dialog->findChild<QTabWidget *>()->isTabEnabled(1)); // without a receipt
        dialog->receiptBox()->setText(QString::fromLatin1(step.receipt));
        EXPECT_EQ(dialog->showReceipt(), step.copies > 0);
        if (step.copies > 0) {
            dialog->setLineRefund(0, step.copies);
            dialog->reasonBox()->setCurrentIndex(0);
            EXPECT_TRUE(dialog->refund());
        }
        const QStringList texts = told(till);
        ASSERT_EQ(texts.size(), 1) << texts.join(' ').toStdString();
        EXPECT_TRUE(texts[0].startsWith(QString::fromUtf8(step.told))) << texts[0].toStdString();
        delete dialog;
    }
    // Without a receipt, and a void, the server is needed; the session waits for what waits.
    EXPECT_EQ(screen.returns()->refundByIsbn("9789570000002", 1), nullptr);
    EXPECT_EQ(screen.returns()->voidOnReceipt(), nullptr);
    screen.tillSession()->closeSession();
    const QStringList texts = told(till);
    ASSERT_EQ(texts.size(), 3);
    EXPECT_TRUE(texts[0].startsWith("A refund without a receipt needs the shop's server"));
    EXPECT_TRUE(texts[1].startsWith("A void needs the shop's server"));
    EXPECT_TRUE(texts[2].startsWith("This till has 2 receipt(s) made while"));
    EXPECT_TRUE(offline->status()->text().startsWith("Offline: 2 receipts waiting, and 3 refunds."))
        << offline->status()->text().toStdString();

    control(QStringLiteral("start"));
    till.clock.set(QDate(2001, 5, 3), QTime(10, 40));
    offline->look();
    EXPECT_EQ(told(till), QStringList());
    EXPECT_EQ(offline->refundsWaiting(), 0);
    EXPECT_EQ(
        shop.value("SELECT count(*), sum(amount) = 390, min(session) = max(session) FROM refunds"),
        "3|t|t");
    EXPECT_EQ(shop.value("SELECT min(session) FROM refunds"), QString::number(sessionId));
    EXPECT_EQ(shop.value("SELECT qty FROM titles ORDER BY bookno"), "100 49");
}

TEST(CounterOffline, ASessionClosedWhileTheTillWasAwayIsSetAsideAndANewOneAsked) {
    ServerShop shop;
    const qint64 sessionId = openTillF(shop);
    QTemporaryDir folder;
    TestShop till;
    tillOf(till, shop, folder, shop.database());
    SellScreen screen(till.context);
    auto *offline = screen.findChild<CounterOffline *>();
    offline->look();
    stopImmediately();
    sell(screen, "9789570000002", "1");
    payInFull(screen, *till.context.tillCopy);
    control(QStringLiteral("start"));
    // The till's session is closed on another computer meanwhile.
    ShopSession elsewhere(drivers::open(shop.location()));
    shop::closeSession(elsewhere, {sessionId, {}, QDateTime(QDate(2001, 5, 3), QTime(10, 35))});

    till.clock.set(QDate(2001, 5, 3), QTime(10, 40));
    offline->look();
    EXPECT_EQ(offline->waiting(), 0);
    EXPECT_EQ(shop.value("SELECT count(*) FROM receipts"), "0");
    EXPECT_EQ(shop.value("SELECT count(*) FROM refusedreceipts"), "1");
    EXPECT_EQ(shop.value("SELECT qty FROM titles ORDER BY bookno"), "100 50");
    QStringList texts = told(till);
    ASSERT_EQ(texts.size(), 2) << texts.join(' ').toStdString();
    EXPECT_TRUE(texts[0].contains(QStringLiteral("made in the till's session %1, which the back "
                                                 "office closed")
                                      .arg(sessionId)))
        << texts[0].toStdString();
    EXPECT_TRUE(texts[1].startsWith(
        QStringLiteral("This till's session %1 was closed by %2 at").arg(sessionId).arg(kTill)))
        << texts[1].toStdString();
    EXPECT_TRUE(texts[1].contains("A new session is needed before the next sale"));
    EXPECT_FALSE(screen.tillSession()->current());
    EXPECT_FALSE(counterstart::kept(*till.context.tillCopy)->session);
    // The next sale asks for the float first, and nothing is sold.
    sell(screen, "9789570000002", "1");
    texts = told(till);
    ASSERT_EQ(texts.size(), 1);
    EXPECT_TRUE(texts[0].startsWith("No session is open at this till"));
    EXPECT_EQ(shop.value("SELECT count(*) FROM receiptlines"), "0");
}

} // namespace
