// The outbox sent receipt by receipt.
#include "outboxsender.h"

#include "connection.h"
#include "receiptcodec.h"
#include "shopsession.h"
#include "shoptables.h"
#include "tillcopy.h"

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

} // namespace

SendReport sendOutbox(TillCopy &copy, ShopSession &shop, const QDateTime &at, int limit) {
    SendReport report;
    constexpr int batch = 200;
    while (limit == 0 || report.sent + static_cast<int>(report.refused.size()) < limit) {
        const std::vector<OutboxItem> items = copy.oldest(batch);
        if (items.empty())
            break;
        for (const OutboxItem &item : items) {
            if (limit != 0 && report.sent + static_cast<int>(report.refused.size()) >= limit)
                return report;
            try {
                deliver(shop, item, at);
            } catch (const DataError &error) {
                if (passes(error.kind())) {
                    report.interrupted = true;
                    report.interruption = error.sentence();
                    return report;
                }
                report.reachedServer = true;
                keepRefusal(shop, item, error.sentence(), at);
                copy.setAside(item, error.sentence(), at);
                report.refused.emplace_back(item.number, error.sentence());
                continue;
            }
            report.reachedServer = true;
            copy.sent(item);
            copy.setLastContact(at);
            ++report.sent;
        }
    }
    return report;
}

} // namespace offline
