// Refunds, read and stored through the session's connection.
#include "refunds.h"

#include "dataerror.h"

namespace shop {

std::vector<RefundReason> refundReasons(Connection &) {
    throw DataError(QStringLiteral("not yet"));
}
RefundableReceipt receiptToRefund(Connection &, const QString &) {
    throw DataError(QStringLiteral("not yet"));
}
StoredRefund storeRefund(ShopSession &, const RefundRecord &) {
    throw DataError(QStringLiteral("not yet"));
}

} // namespace shop
