// Refunds given while the shop's server is away, of the till's own receipts, and the work of a
// session closed meanwhile: sent once, or set aside and listed for the back office. On both
// engines: the shop the outbox is sent to is the test's shop.
#include "datagrid.h"
#include "offlinetillfixture.h"
#include "refusedreceiptsscreen.h"

#include <QTableView>

namespace {

// A refund given while the server was away, of a receipt the till holds (made offline, or
// stored before and kept), waits behind the receipts and reaches the shop once by its
// identifier, even when it was stored before the till heard; one the shop refuses for good is
// set aside on the till, listed for the back office, and its copies may be refunded again.
TEST_F(OfflineTill, RefundsGivenOfflineReachTheShopOnce) {
    struct Case {
        const char *name;
        bool receiptOffline; // made offline too; else stored before and kept by the till
        bool storedBefore;   // the refund was stored, but the till never heard the answer
        bool takenElsewhere; // another till refunded both copies meanwhile
        int stored;          // the refund's rows in the shop
        int stock;           // of 111, from 10
    };
    const Case cases[] = {{"of a receipt made offline", true, false, false, 1, 9},
                          {"of a receipt sent before", false, false, false, 1, 9},
                          {"stored before the till heard", true, true, false, 1, 9},
                          {"the copies refunded at another till", false, false, true, 0, 10}};
    int n = 100;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        copy = std::make_unique<TillCopy>(TillCopy::fileFor(folder.path(), c.name));
        shop.db.exec("UPDATE Titles SET Qty = 10 WHERE ISBN = '111'");
        const ReceiptRecord receipt = paid(++n);
        QString readable;
        if (c.receiptOffline) {
            readable = QStringLiteral("A-%1").arg(copy->queueReceipt(receipt, opened.id, "A"));
        } else {
            readable = shop::storeReceipt(*session, receipt).readable;
            copy->keepReceipt(receipt, readable, opened.id);
        }
        const RefundRecord refund = refundOf(receipt, ++n, 1);
        copy->queueRefund(refund, opened.id);
        copy->queueRefund(refund, opened.id); // kept once
        EXPECT_EQ(copy->refundsWaiting(), 1);
        // The till counts the copy as refunded from now on.
        EXPECT_EQ(copy->receiptToRefund(readable.toLower())->lines.at(0).left(), 1);
        if (c.storedBefore) {
            shop::storeReceipt(*session, receipt);
            shop::storeRefund(*session, refund);
        }
        if (c.takenElsewhere)
            shop::storeRefund(*session, refundOf(receipt, ++n, 2));
        const offline::SendReport report = send();
        EXPECT_FALSE(report.interrupted);
        EXPECT_EQ(report.refundsSent, c.stored);
        EXPECT_EQ(copy->refundsWaiting(), 0);
        EXPECT_EQ(rowsOf("refunds", "Refund", refund.id), c.stored);
        EXPECT_EQ(rowsOf("refundlines", "Refund", refund.id), c.stored);
        EXPECT_EQ(stock("111"), c.stock);
        const int refused = 1 - c.stored;
        EXPECT_EQ(copy->setAsideRefundCount(), refused);
        EXPECT_EQ(rowsOf("refusedreceipts", "Receipt", refund.id), refused);
        EXPECT_EQ(copy->receiptToRefund(readable)->lines.at(0).left(), 1 + refused);
        if (refused == 1) {
            ASSERT_EQ(report.refusedRefunds.size(), 1u);
            EXPECT_EQ(report.refusedRefunds[0].first,
                      QStringLiteral("the refund of 12.50 on receipt %1").arg(readable));
        }
    }
    EXPECT_FALSE(copy->receiptToRefund("Z-1"));
}

// The back office closed the till's session while the till was away (and the till opened the
// next): what the till made in it and the shop had not received is set aside with that reason
// and listed, never put into the session open now; a receipt the shop had stored before the
// till heard stays stored, once.
TEST_F(OfflineTill, WorkOfASessionClosedWhileTheTillWasAwayIsSetAside) {
    const ReceiptRecord notSent = paid(201), storedBefore = paid(202);
    copy->queueReceipt(notSent, opened.id, "A");
    copy->queueReceipt(storedBefore, opened.id, "A");
    const RefundRecord refund = refundOf(storedBefore, 203, 1);
    copy->queueRefund(refund, opened.id);
    const CashMovementRecord cash{receiptId(204), opened.id,
                                  false,          money("20"),
                                  "Bank",         QDateTime(QDate(2001, 5, 3), QTime(10, 50))};
    copy->queueCash(cash);
    shop::storeReceipt(*session, storedBefore);
    shop::closeSession(*session, {opened.id, {}, QDateTime(QDate(2001, 5, 3), QTime(11, 0))});
    const TillSession next =
        shop::openSession(*session, {Money(), QDateTime(QDate(2001, 5, 3), QTime(11, 5))});

    const offline::SendReport report = send();
    EXPECT_FALSE(report.interrupted);
    EXPECT_EQ(report.sent, 1);
    ASSERT_EQ(report.refused.size(), 1u);
    ASSERT_EQ(report.refusedRefunds.size(), 1u);
    ASSERT_EQ(report.refusedCash.size(), 1u);
    EXPECT_EQ(copy->waiting() + copy->refundsWaiting() + copy->cashWaiting(), 0);
    // Refused: the receipt, the refund and the cash, all three listed.
    EXPECT_EQ(stored(201, 209), "1 receipts, 1 sold, 1 received, 3 refused, stock 8");
    EXPECT_EQ(shop.db.rows("SELECT Session FROM receiptsessions"),
              QStringList{QString::number(opened.id)});
    EXPECT_EQ(rowsOf("refunds", "Session", QString::number(next.id)), 0);
    EXPECT_EQ(shop.db.count("cashmovements"), 0);
    const QString why = QStringLiteral("it was made in the till's session %1, which the back "
                                       "office closed")
                            .arg(opened.id);
    for (const QString &reason :
         {report.refused[0].second, report.refusedRefunds[0].second, report.refusedCash[0].second})
        EXPECT_TRUE(reason.startsWith(why)) << reason.toStdString();
    // The back office's list holds all three, each saying what it was.
    RefusedReceiptsScreen list(shop.context);
    const QAbstractItemModel *rows = list.grid()->view()->model();
    ASSERT_EQ(rows->rowCount(), 3);
    QStringList reasons;
    for (int row = 0; row < 3; ++row)
        reasons << rows->data(rows->index(row, 2)).toString().section(QLatin1Char(' '), 0, 1);
    reasons.sort();
    EXPECT_EQ(reasons, (QStringList{"Cash Out", "Refund: it", "it was"}));
}

} // namespace
