// A till's own file beside the test's shop (either engine), its outbox sent to that shop: the
// receipts, refunds and cash a till makes while the server is away, as the tests make them.
#pragma once

#include "outboxsender.h"
#include "paymentsfixture.h"
#include "tillcopy.h"

#include <QTemporaryDir>
#include <map>
#include <memory>

inline QString receiptId(int n) {
    return QStringLiteral("00000000-0000-4000-8000-%1").arg(n, 12, 10, QLatin1Char('0'));
}

class OfflineTill : public Payments {
protected:
    void SetUp() override {
        Payments::SetUp();
        copy = std::make_unique<TillCopy>(TillCopy::fileFor(folder.path(), "backoffice:5432"));
    }
    // A receipt of `copies` copies of 111 made offline at 10:30 and kept in the outbox.
    qint64 queue(int n, qint64 copies, const char *isbn = "111") {
        ReceiptRecord record = receiptOf(1, receiptId(n).toLatin1().constData());
        record.lines[0].quantity = copies;
        record.lines[0].isbn = QString::fromLatin1(isbn);
        record.lines[0].bookNo =
            shop.db.scalar(QStringLiteral("SELECT BOOKNO FROM Titles WHERE ISBN = '%1'").arg(isbn))
                .toLongLong();
        made[n] = record;
        return copy->queueReceipt(record);
    }
    offline::SendReport send(const ShopDatabase &to) {
        ShopSession sending(to);
        return offline::sendOutbox(*copy, sending, QDateTime(QDate(2001, 5, 3), QTime(11, 0)));
    }
    offline::SendReport send() { return send(shop.context.shop); }
    // Of the receipts numbered from `first` to `last`: those stored, their lines, those
    // recorded as received, those refused; and 111's stock.
    QString stored(int first = 0, int last = 999) {
        const QString among = QStringLiteral(" WHERE Receipt BETWEEN '%1' AND '%2'")
                                  .arg(receiptId(first), receiptId(last));
        QStringList counts;
        for (const char *table :
             {"receipts", "receiptlines", "receivedreceipts", "refusedreceipts"})
            counts << shop.db.scalar(QStringLiteral("SELECT count(*) FROM %1").arg(table) + among)
                          .toString();
        return QStringLiteral("%1 receipts, %2 sold, %3 received, %4 refused, stock %5")
            .arg(counts[0], counts[1], counts[2], counts[3])
            .arg(stock("111"));
    }

    // A receipt of 2 copies of 111 paid in cash, as the till made it.
    ReceiptRecord paid(int n) {
        ReceiptRecord record = receiptOf(1, receiptId(n).toLatin1().constData());
        record.payments.push_back(payment(1, methodOf(0), "25", "25"));
        record.paidAt = record.payments[0].at;
        return record;
    }
    // A refund of copies of the receipt's line, with the shop's first reason, in cash.
    RefundRecord refundOf(const ReceiptRecord &receipt, int n, qint64 copies) {
        return {receiptId(n),
                receipt.id,
                shop::refundReasons(shop.db.connection()).front().name,
                methodOf(0),
                QDateTime(QDate(2001, 5, 3), QTime(10, 45)),
                {{1, 1, receipt.lines[0].bookNo, "111", "Short", money("12.5"), copies, false}}};
    }
    qint64 methodOf(int place) {
        return shop::paymentMethods(shop.db.connection()).at(std::size_t(place)).id;
    }
    int rowsOf(const char *table, const char *column, const QString &id) {
        return shop.db
            .scalar(QStringLiteral("SELECT count(*) FROM %1 WHERE %2 = '%3'")
                        .arg(QLatin1String(table), QLatin1String(column), id))
            .toInt();
    }

    QTemporaryDir folder;
    std::unique_ptr<TillCopy> copy;
    std::map<int, ReceiptRecord> made;
};
