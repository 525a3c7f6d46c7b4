// The outbox sent receipt by receipt.
#include "outboxsender.h"

#include "connection.h"
#include "conversions.h"
#include "receiptcodec.h"
#include "shopsession.h"
#include "shopsteps.h"
#include "shoptables.h"
#include "tender.h"
#include "tillcopy.h"
#include "tillsessions.h"

namespace offline {

bool passes(DataError::Kind kind) {
    return kind != DataError::Kind::Other;
}

namespace {

// What a failure to send one piece of work says of the round: true when the connection or the
// server failed (the report says so and the round stops, what is left waiting); false when the
// server answered and refused that piece, which the caller sets aside.
bool interrupts(const DataError &error, SendReport &report) {
    report.interrupted = passes(error.kind());
    return report.interrupted;
}

// Why work the till made in `session` cannot go into the shop: the back office closed that
// session while the till could not reach the server. None while it is open, or when the work
// names no session.
std::optional<QString> closedSession(Connection &connection, qint64 session) {
    if (session == 0)
        return std::nullopt;
    const QVariant closed = connection.scalar(
        QStringLiteral("SELECT [Closed] FROM [tillsessions] WHERE [Session] = ?1 AND [Closed] "
                       "IS NOT NULL"),
        {session});
    if (closed.isNull())
        return std::nullopt;
    return QStringLiteral("it was made in the till's session %1, which the back office closed "
                          "(%2) while the till could not reach the server; it is not put into "
                          "another session")
        .arg(session)
        .arg(conv::momentText(conv::parseMoment(closed.toString())));
}

// The work went into another session than the one it was made in: refused, rolled back.
void sameSession(Connection &connection, qint64 made, qint64 storedIn) {
    if (made == 0 || storedIn == 0 || made == storedIn)
        return;
    throw DataError(closedSession(connection, made)
                        .value_or(QStringLiteral("it was made in the till's session %1 and would "
                                                 "have gone into session %2")
                                      .arg(made)
                                      .arg(storedIn)));
}

// Stores the receipt and its arrival in one transaction; a receipt stored before (its answer
// lost with the connection) is left as it is by the store and by the arrival's key. The shop
// puts a receipt not stored yet into the till's session open now: when that is not the one it
// was made in, all of it is rolled back. (A session closed with none open since is refused by
// the store itself.) Without a session known, nothing more is read.
void deliver(ShopSession &shop, const OutboxItem &item, qint64 session, const QDateTime &at) {
    const ReceiptRecord receipt = receiptcodec::read(item.made);
    shop.transact({tables::Titles::table, tables::soldbook::table}, [&](Connection &connection) {
        connection.dialect().storeReceipt(connection, receipt);
        connection.dialect().receiptReceived(connection, receipt.id, item.number, at);
        if (session != 0)
            sameSession(connection, session,
                        connection
                            .scalar(QStringLiteral("SELECT [Session] FROM [receiptsessions] WHERE "
                                                   "[Receipt] = ?1"),
                                    {receipt.id})
                            .toLongLong());
    });
}

// The same for a refund: stored once by its identifier, only into the session it was given in
// (the store answers with the session it is in).
void deliverRefund(ShopSession &shop, const WaitingRefund &refund) {
    shop.transact({tables::Titles::table, tables::soldbook::table, tables::refunds::table},
                  [&](Connection &connection) {
                      sameSession(
                          connection, refund.session,
                          connection.dialect().storeRefund(connection, refund.record).session);
                  });
}

// Keeps the refusal in the shop for the back office, beside the refused receipts (the work's
// identifier, the reason, the work as the till made it); when that too fails the work stays on
// the till's list, which the operator is shown.
void keepRefusal(ShopSession &shop, const QString &id, const QString &reason, const QString &made,
                 const QDateTime &at) {
    try {
        shop.transact({}, [&](Connection &connection) {
            connection.dialect().receiptRefused(connection, id, reason, made, at);
        });
    } catch (const DataError &) {
    }
}

// The refusal's reason, clearer when the work was made in a session closed meanwhile.
QString refusal(ShopSession &shop, const DataError &error, qint64 session) {
    try {
        if (const std::optional<QString> why = closedSession(shop.connection(), session))
            return *why;
    } catch (const DataError &) {
    }
    return error.sentence();
}

// What a refund was, in the operator's words.
QString refundShown(TillCopy &copy, const RefundRecord &refund) {
    Money amount;
    for (const RefundLineRecord &line : refund.lines)
        amount += line.price.times(line.quantity);
    const QString readable = copy.readableOf(refund.receipt);
    return readable.isEmpty() ? QStringLiteral("the refund of %1").arg(tender::shown(amount))
                              : QStringLiteral("the refund of %1 on receipt %2")
                                    .arg(tender::shown(amount), readable);
}

// Sends the refunds that wait, oldest first; false when the connection was lost.
bool sendRefunds(TillCopy &copy, ShopSession &shop, const QDateTime &at, SendReport &report) {
    for (std::vector<WaitingRefund> refunds = copy.oldestRefunds(100); !refunds.empty();
         refunds = copy.oldestRefunds(100)) {
        for (const WaitingRefund &refund : refunds) {
            try {
                deliverRefund(shop, refund);
            } catch (const DataError &error) {
                if (interrupts(error, report))
                    return false;
                const QString what = refundShown(copy, refund.record);
                const QString reason = refusal(shop, error, refund.session);
                keepRefusal(shop, refund.record.id,
                            QStringLiteral("Refund: %1 (%2)").arg(reason, what),
                            TillCopy::refundText(refund.record), at);
                copy.setAsideRefund(refund, reason, at);
                report.refusedRefunds.emplace_back(what, reason);
                continue;
            }
            copy.refundSent(refund.record.id, at);
            ++report.refundsSent;
        }
    }
    return true;
}

// Sends the cash movements that wait, oldest first; false when the connection was lost.
bool sendCash(TillCopy &copy, ShopSession &shop, const QDateTime &at, SendReport &report) {
    for (std::vector<CashMovementRecord> movements = copy.oldestCash(100); !movements.empty();
         movements = copy.oldestCash(100)) {
        for (const CashMovementRecord &movement : movements) {
            try {
                shop::moveCash(shop, movement);
            } catch (const DataError &error) {
                if (interrupts(error, report))
                    return false;
                const QString what =
                    QStringLiteral("%1 %2 (%3)")
                        .arg(movement.in ? QStringLiteral("Cash In") : QStringLiteral("Cash Out"),
                             tender::shown(movement.amount), movement.reason);
                const QString reason = refusal(shop, error, movement.session);
                keepRefusal(shop, movement.id, QStringLiteral("%1: %2").arg(what, reason),
                            TillCopy::cashText(movement), at);
                copy.setAsideCash(movement, reason, at);
                report.refusedCash.emplace_back(what, reason);
                continue;
            }
            copy.cashSent(movement.id, at);
            ++report.cashSent;
        }
    }
    return true;
}

} // namespace

SendReport sendOutbox(TillCopy &copy, ShopSession &shop, const QDateTime &at, int limit) {
    SendReport report;
    // Receipts the shop confirmed leave the till's file a few at a time: one of them sent
    // again after the till died in between is stored once all the same, and the till's
    // disk is not waited for after every receipt.
    constexpr int batch = 100;
    std::vector<OutboxItem> confirmed;
    const auto done = [&] {
        return limit != 0 && report.sent + static_cast<int>(report.refused.size()) >= limit;
    };
    const auto leave = [&] {
        if (!confirmed.empty())
            copy.sent(confirmed, at);
        confirmed.clear();
    };
    for (std::vector<OutboxItem> items = copy.oldest(batch); !items.empty() && !done();
         items = copy.oldest(batch)) {
        for (const OutboxItem &item : items) {
            if (done())
                break;
            try {
                deliver(shop, item, copy.sessionOf(item.id), at);
            } catch (const DataError &error) {
                if (interrupts(error, report)) {
                    leave();
                    return report;
                }
                const QString reason = refusal(shop, error, copy.sessionOf(item.id));
                keepRefusal(shop, item.id, reason, QString::fromUtf8(item.made), at);
                copy.setAside(item, reason, at);
                report.refused.emplace_back(item.number, reason);
                continue;
            }
            confirmed.push_back(item);
            ++report.sent;
        }
        leave();
    }
    if (!done() && sendRefunds(copy, shop, at, report))
        sendCash(copy, shop, at, report);
    return report;
}

} // namespace offline
