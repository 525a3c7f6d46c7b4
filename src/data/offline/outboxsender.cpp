// The outbox sent receipt by receipt.
#include "outboxsender.h"

#include "connection.h"
#include "receiptcodec.h"
#include "shopsession.h"
#include "shoptables.h"
#include "tender.h"
#include "tillcopy.h"
#include "tillsessions.h"

namespace offline {

bool passes(DataError::Kind kind) {
    return kind != DataError::Kind::Other;
}

namespace {

// Stores the receipt and its arrival in one transaction; a receipt stored before (its answer
// lost with the connection) is left as it is by the store and by the arrival's key.
void deliver(ShopSession &shop, const OutboxItem &item, const QDateTime &at) {
    const ReceiptRecord receipt = receiptcodec::read(item.made);
    shop.transact({tables::Titles::table, tables::soldbook::table}, [&](Connection &connection) {
        connection.dialect().storeReceipt(connection, receipt);
        connection.dialect().receiptReceived(connection, receipt.id, item.number, at);
    });
}

// Keeps the refusal in the shop for the back office; when that too fails the receipt stays on
// the till's list, which the operator is shown.
void keepRefusal(ShopSession &shop, const OutboxItem &item, const QString &reason,
                 const QDateTime &at) {
    try {
        shop.transact({}, [&](Connection &connection) {
            connection.dialect().receiptRefused(connection, item.id, reason,
                                                QString::fromUtf8(item.made), at);
        });
    } catch (const DataError &) {
    }
}

// Sends the cash movements that wait, oldest first; false when the connection was lost.
bool sendCash(TillCopy &copy, ShopSession &shop, const QDateTime &at, SendReport &report) {
    for (std::vector<CashMovementRecord> movements = copy.oldestCash(100); !movements.empty();
         movements = copy.oldestCash(100)) {
        for (const CashMovementRecord &movement : movements) {
            try {
                shop::moveCash(shop, movement);
            } catch (const DataError &error) {
                if (passes(error.kind())) {
                    report.interrupted = true;
                    report.interruption = error.sentence();
                    return false;
                }
                report.reachedServer = true;
                copy.setAsideCash(movement, error.sentence(), at);
                report.refusedCash.emplace_back(
                    QStringLiteral("%1 %2 (%3)")
                        .arg(movement.in ? QStringLiteral("Cash In") : QStringLiteral("Cash Out"),
                             tender::shown(movement.amount), movement.reason),
                    error.sentence());
                continue;
            }
            report.reachedServer = true;
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
                deliver(shop, item, at);
            } catch (const DataError &error) {
                if (passes(error.kind())) {
                    report.interrupted = true;
                    report.interruption = error.sentence();
                    leave();
                    return report;
                }
                report.reachedServer = true;
                keepRefusal(shop, item, error.sentence(), at);
                copy.setAside(item, error.sentence(), at);
                report.refused.emplace_back(item.number, error.sentence());
                continue;
            }
            report.reachedServer = true;
            confirmed.push_back(item);
            ++report.sent;
        }
        leave();
    }
    if (!done())
        sendCash(copy, shop, at, report);
    return report;
}

} // namespace offline
