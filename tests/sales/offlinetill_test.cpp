// A till that sells while the shop's server is away: its own file (copy, outbox, numbers), the
// sending of the outbox when the server is back, and the refresh of the copy by the clock. On
// both engines: the shop the outbox is sent to is the test's shop.
#include "copyrefresh.h"
#include "counterstart.h"
#include "datagrid.h"
#include "offlinetillfixture.h"
#include "refusedreceiptsscreen.h"

#include <QFile>
#include <QTableView>

namespace {

// Each case queues three receipts of 1, 2 and 3 copies of 111 (stock 10) and sends them; what
// goes wrong differs.
struct SendCase {
    const char *name;
    bool storedBefore;  // the first was stored, but its till never heard the answer
    bool titleGone;     // the second sells a title deleted since
    bool queuedAgain;   // all three queued and sent a second time (a till that died before
                        // it marked them sent)
    const char *result; // stored()
    int refused;
};

TEST_F(OfflineTill, TheOutboxReachesTheShopOnceWhateverWentWrong) {
    const SendCase cases[] = {
        {"all go through", false, false, false,
         "3 receipts, 3 sold, 3 received, 0 refused, stock 4", 0},
        {"stored before the till heard", true, false, false,
         "3 receipts, 3 sold, 3 received, 0 refused, stock 4", 0},
        {"a refused one does not hold up the rest", false, true, false,
         "2 receipts, 2 sold, 2 received, 1 refused, stock 6", 1},
        {"sent twice", true, false, true, "3 receipts, 3 sold, 3 received, 0 refused, stock 4", 0},
    };
    int first = 0;
    for (const SendCase &c : cases) {
        SCOPED_TRACE(c.name);
        first += 10;
        copy = std::make_unique<TillCopy>(TillCopy::fileFor(folder.path(), c.name));
        shop.db.exec("UPDATE Titles SET Qty = 10 WHERE ISBN = '111'");
        shop.db.exec("INSERT INTO Titles (ISBN, Title, [Sale Price], Qty) VALUES ('999', 'Gone', "
                     "5, 3)");
        EXPECT_EQ(queue(first + 1, 1), 1);
        EXPECT_EQ(queue(first + 2, 2, c.titleGone ? "999" : "111"), 2);
        EXPECT_EQ(queue(first + 3, 3), 3);
        shop.db.exec("DELETE FROM Titles WHERE ISBN = '999'");
        if (c.storedBefore)
            shop::storeReceipt(*session, made[first + 1]);
        offline::SendReport report = send();
        if (c.queuedAgain) {
            for (int n = first + 1; n <= first + 3; ++n)
                copy->queueReceipt(made[n]);
            report = send();
        }
        EXPECT_EQ(stored(first, first + 9), QString::fromLatin1(c.result));
        EXPECT_EQ(copy->waiting(), 0);
        EXPECT_FALSE(report.interrupted);
        EXPECT_EQ(copy->setAsideCount(), c.refused);
        if (c.refused == 1) {
            ASSERT_EQ(report.refused.size(), 1u);
            EXPECT_EQ(report.refused[0].first, 2);
            EXPECT_EQ(shop.db.rows("SELECT Receipt FROM refusedreceipts"),
                      QStringList{receiptId(first + 2)});
            // The back office's list shows it, with the shop's reason.
            RefusedReceiptsScreen list(shop.context);
            const QAbstractItemModel *rows = list.grid()->view()->model();
            ASSERT_EQ(rows->rowCount(), 1);
            EXPECT_EQ(rows->data(rows->index(0, 2)).toString(), report.refused[0].second);
        }
    }
}

// A shop that cannot take the work now (its server busy or gone) stops the sending: nothing
// leaves the outbox, and the next try sends it all in its order.
TEST_F(OfflineTill, AServerThatCannotAnswerLeavesTheOutboxForTheNextTry) {
    queue(1, 1);
    queue(2, 2);
    Connection &other = shop.db.connection();
    other.begin();
    other.exec(QStringLiteral("UPDATE [tills] SET [Name] = [Name]"));
    const offline::SendReport held =
        send(shop.context.shop.withSettings({.busyTimeoutMs = 100, .waitLimitSeconds = 1}));
    other.rollback();
    EXPECT_TRUE(held.interrupted);
    EXPECT_EQ(held.sent, 0);
    EXPECT_EQ(copy->waiting(), 2);
    EXPECT_EQ(stored(), "0 receipts, 0 sold, 0 received, 0 refused, stock 10");
    const offline::SendReport back = send();
    EXPECT_EQ(back.sent, 2);
    EXPECT_EQ(stored(), "2 receipts, 2 sold, 2 received, 0 refused, stock 7");
    EXPECT_EQ(shop.db.rows("SELECT TillNumber FROM receivedreceipts ORDER BY TillNumber"),
              (QStringList{"1", "2"}));
}

// The copy is read again two minutes after the last reading, by the shop's clock; a title's
// stock in it is less the copies waiting in the outbox.
TEST_F(OfflineTill, TheCopyIsRefreshedEveryTwoMinutesByTheClock) {
    shop.db.exec("INSERT INTO onsale (ISBN, [OnSale Price], [Begin], [End]) VALUES ('222', 6, "
                 "#2001/5/1#, #2001/5/3#)");
    struct Step {
        QTime at;
        int shopStock; // 111's stock in the shop from then on
        bool refreshed;
        int copied; // 111's stock in the copy afterwards, with 2 copies waiting
    };
    const Step steps[] = {{QTime(10, 30), 10, true, 8},
                          {QTime(10, 31), 9, false, 8},
                          {QTime(10, 31, 59), 9, false, 8},
                          {QTime(10, 32), 5, true, 3},
                          {QTime(10, 33), 6, false, 3}};
    queue(1, 2);
    for (const Step &step : steps) {
        SCOPED_TRACE(step.at.toString().toStdString());
        shop.db.exec(
            QStringLiteral("UPDATE Titles SET Qty = %1 WHERE ISBN = '111'").arg(step.shopStock));
        shop.clock.set(QDate(2001, 5, 3), step.at);
        EXPECT_EQ(offline::refreshIfDue(*copy, shop.db.connection(), shop.clock), step.refreshed);
        EXPECT_EQ(copy->findIsbn("111")->stock, step.copied);
    }
    EXPECT_EQ(copy->titleCount(), 3);
    EXPECT_EQ(copy->lastContact(), QDateTime(QDate(2001, 5, 3), QTime(10, 32)));
    EXPECT_EQ(copy->findIsbn("222")->salePrice, money("8"));
    EXPECT_EQ(copy->offerOn("222", QDate(2001, 5, 3)), money("6"));
    EXPECT_EQ(copy->offerOn("222", QDate(2001, 5, 4)), std::nullopt); // past midnight
    EXPECT_FALSE(copy->findIsbn("444"));
}

// A till offline across midnight: each line keeps the day and price of its sale on the till's
// clock (an offer of the first day only), however late the receipts reach the shop.
TEST_F(OfflineTill, ReceiptsMadeAcrossMidnightKeepTheirDaysAndPrices) {
    shop.db.exec("INSERT INTO onsale (ISBN, [OnSale Price], [Begin], [End]) VALUES ('111', 9, "
                 "#2001/5/3#, #2001/5/3#)");
    offline::refreshCopy(*copy, shop.db.connection(), QDateTime(QDate(2001, 5, 3), QTime(22, 0)));
    struct Sale {
        QDate day;
        QTime time;
        const char *price; // the till's price then
    };
    const Sale sales[] = {{QDate(2001, 5, 3), QTime(23, 59, 30), "9"},
                          {QDate(2001, 5, 4), QTime(0, 0, 30), "12.5"}};
    int n = 50;
    for (const Sale &sale : sales) {
        const Money price =
            copy->offerOn("111", sale.day).value_or(*copy->findIsbn("111")->salePrice);
        EXPECT_EQ(price, money(sale.price));
        ReceiptRecord record = receiptOf(1, receiptId(++n).toLatin1().constData());
        record.opened = QDateTime(sale.day, sale.time);
        record.lines[0] = {1,        record.lines[0].bookNo, "111", "Short", price, 1, sale.day,
                           sale.time};
        copy->queueReceipt(record);
    }
    const offline::SendReport report = send(); // the next morning
    EXPECT_EQ(report.sent, 2);
    EXPECT_EQ(shop.db.rows("SELECT SoldDate, SoldTime, Price FROM soldbook ORDER BY SoldDate"),
              (QStringList{"2001-05-03|23:59:30|9", "2001-05-04|00:00:30|12.5"}));
}

// The till's file is its own: private, named after the server, and its receipts numbered in
// the order made, a receipt queued again keeping its number.
TEST_F(OfflineTill, TheTillsFileKeepsItsNumbersAndIsPrivate) {
    EXPECT_NE(TillCopy::fileFor(folder.path(), "backoffice:5432"),
              TillCopy::fileFor(folder.path(), "shop2:5432"));
    EXPECT_EQ(static_cast<int>(QFile::permissions(copy->path())) & 0x0077,
              0); // group, others: none
    EXPECT_EQ(queue(1, 1), 1);
    EXPECT_EQ(queue(2, 1), 2);
    EXPECT_EQ(copy->queueReceipt(made[1]), 1);
    send();
    EXPECT_EQ(queue(3, 1), 3); // numbers go on after a sending
    TillCopy reopened(copy->path());
    EXPECT_EQ(reopened.waiting(), 1);
    EXPECT_EQ(reopened.oldest(5).front().id, receiptId(3));
}

// Each refresh of the copy keeps what the counter needs to open, as the shop holds it then; a
// counter sells from it without the server only in an open session of a shop that takes
// payment. What is kept reads back as it was written.
TEST_F(OfflineTill, EachRefreshKeepsWhatTheCounterNeedsToOpen) {
    struct Case {
        const char *name;
        bool paymentsOn;   // in the shop at the refresh
        bool closeSession; // closed before the refresh
        bool session;      // kept
        bool sellsOffline;
    };
    const Case cases[] = {
        {"an open session", true, false, true, true},
        {"payments switched off", false, false, false, false},
        {"the session closed since", true, true, false, false},
    };
    const QDateTime at(QDate(2001, 5, 3), QTime(10, 30));
    EXPECT_FALSE(counterstart::kept(*copy));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        shop::setPaymentsOn(shop.db.connection(), c.paymentsOn);
        if (c.closeSession)
            shop::closeSession(*session,
                               {opened.id, {}, QDateTime(QDate(2001, 5, 3), QTime(10, 0))});
        offline::refreshCopy(*copy, shop.db.connection(), at);
        const std::optional<CounterStart> kept = counterstart::kept(*copy);
        ASSERT_TRUE(kept);
        EXPECT_EQ(kept->sellsOffline(), c.sellsOffline);
        EXPECT_EQ(kept->session.has_value(), c.session);
        if (!c.sellsOffline)
            continue;
        const CounterStart read = counterstart::read(shop.db.connection());
        EXPECT_EQ(counterstart::write(*kept), counterstart::write(read));
        EXPECT_EQ(kept->till->prefix, read.till->prefix);
        EXPECT_EQ(kept->session->id, opened.id);
        EXPECT_EQ(kept->session->opened, opened.opened);
        EXPECT_EQ(kept->session->openingFloat, opened.openingFloat);
        ASSERT_EQ(kept->methods.size(), read.methods.size());
        EXPECT_GE(kept->methods.size(), 2u);
        EXPECT_EQ(kept->methods[1].kind, read.methods[1].kind);
        EXPECT_EQ(kept->methods[1].name, read.methods[1].name);
    }
    // Text that is not a kept start is refused, not taken for an empty one.
    copy->keepCounterStart(QStringLiteral("{\"paymentsOn\": true}"));
    EXPECT_THROW(counterstart::kept(*copy), DataError);
}

// Cash put in or taken out while the server was away waits in the till's outbox behind the
// receipts and reaches the shop once, even when it was stored before the till heard; cash the
// shop refuses for good is set aside on the till and holds nothing up.
TEST_F(OfflineTill, CashKeptOfflineReachesTheShopOnce) {
    struct Case {
        const char *name;
        const char *amount;
        bool storedBefore; // the till never heard the answer
        int stored;        // rows in the shop with its identifier
        int setAside;
    };
    const Case cases[] = {{"sent", "20", false, 1, 0},
                          {"stored before the till heard", "15", true, 1, 0},
                          {"refused for good", "0", false, 0, 1}};
    int n = 70;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        copy = std::make_unique<TillCopy>(TillCopy::fileFor(folder.path(), c.name));
        queue(++n, 1);
        const CashMovementRecord movement{receiptId(++n),
                                          opened.id,
                                          true,
                                          money(c.amount),
                                          "Change from the bank",
                                          QDateTime(QDate(2001, 5, 3), QTime(10, 40))};
        copy->queueCash(movement);
        copy->queueCash(movement); // kept once
        EXPECT_EQ(copy->cashWaiting(), 1);
        if (c.storedBefore)
            shop::moveCash(*session, movement);
        const offline::SendReport report = send();
        EXPECT_FALSE(report.interrupted);
        EXPECT_EQ(report.sent, 1);
        EXPECT_EQ(report.cashSent, 1 - c.setAside);
        EXPECT_EQ(static_cast<int>(report.refusedCash.size()), c.setAside);
        EXPECT_EQ(copy->cashWaiting(), 0);
        EXPECT_EQ(copy->setAsideCashCount(), c.setAside);
        // Listed for the back office beside the refused receipts.
        EXPECT_EQ(rowsOf("refusedreceipts", "Receipt", movement.id), c.setAside);
        EXPECT_EQ(shop.db
                      .scalar(QStringLiteral("SELECT count(*) FROM cashmovements WHERE "
                                             "Movement = '%1'")
                                  .arg(movement.id))
                      .toInt(),
                  c.stored);
    }
}

} // namespace
