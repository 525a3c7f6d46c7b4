// Refunds: by a receipt's number (its lines, each capped by what was sold less what earlier
// refunds and voids took back, at the price paid) or without a receipt by ISBN (at the title's
// price or less), for a reason of the shop's list. Copies go back into stock unless damaged,
// each line writes a sale row of negative quantity at its price, and with payments on the
// money goes out by a method in the till's open session. Each throws DataError.
#pragma once

#include "tillrecords.h"

#include <QStringList>

#include <vector>

class Connection;
class ShopSession;

struct RefundReason {
    qint64 id = 0;
    QString name;
};

// A line of a receipt as a refund offers it.
struct RefundableLine {
    int line = 0;
    qint64 bookNo = 0;
    QString isbn;
    QString title;
    Money price;     // the price paid for each copy
    qint64 sold = 0; // copies on the line
    qint64 back = 0; // copies refunded or voided before
    qint64 left() const { return sold - back; }
};

struct RefundableReceipt {
    QString id;
    QString readable;
    QDateTime opened;
    bool paid = false;
    std::vector<RefundableLine> lines;
};

namespace shop {

// The reasons for a refund every shop starts with (the back office keeps the list).
const QStringList &startingRefundReasons();
// The reasons a refund may give, by name.
std::vector<RefundReason> refundReasons(Connection &connection);
// The receipt numbered `readable` ("A17", any case, blanks around it ignored) with what is
// left to refund of each line. Throws "There is no receipt A17 in this shop." when there is
// none.
RefundableReceipt receiptToRefund(Connection &connection, const QString &readable);
// Stores the refund whole (SqlDialect::storeRefund); the same refund sent again changes
// nothing. The DataError says why it was refused.
StoredRefund storeRefund(ShopSession &session, const RefundRecord &refund);

} // namespace shop
