// Refunds, read and stored through the session's connection.
#include "refunds.h"

#include "connection.h"
#include "conversions.h"
#include "dataerror.h"
#include "refusablework.h"
#include "shopsession.h"
#include "shopsteps.h"
#include "shoptables.h"

namespace shop {

const QStringList &startingRefundReasons() {
    static const QStringList reasons{QStringLiteral("Changed mind"), QStringLiteral("Damaged"),
                                     QStringLiteral("Faulty"), QStringLiteral("Wrong item"),
                                     QStringLiteral("Gift return")};
    return reasons;
}

std::vector<RefundReason> refundReasons(Connection &connection) {
    Statement select = connection.prepare(QStringLiteral(
        "SELECT [Reason], [Name] FROM [refundreasons] WHERE [Removed] = 0 ORDER BY [Name]"));
    std::vector<RefundReason> reasons;
    while (select.step())
        reasons.push_back({select.value(0).toLongLong(), select.value(1).toString()});
    return reasons;
}

RefundableReceipt receiptToRefund(Connection &connection, const QString &readable) {
    const QString number = readable.trimmed().toUpper();
    Statement header = connection.prepare(QStringLiteral(
        "SELECT [Receipt], [Readable], [Opened], [Paid] FROM [receipts] WHERE [Readable] = ?1"));
    header.bindAll({number});
    if (!header.step())
        throw DataError(QStringLiteral("There is no receipt %1 in this shop.").arg(number));
    RefundableReceipt receipt{header.value(0).toString(),
                              header.value(1).toString(),
                              conv::parseMoment(header.value(2).toString()),
                              !header.value(3).isNull(),
                              {}};
    header.step();
    Statement lines = connection.prepare(QStringLiteral(
        "SELECT l.[Line], l.[BOOKNO], l.[ISBN], l.[Title], l.[Price], l.[Qty], "
        "coalesce(b.[Back], 0) FROM [receiptlines] l LEFT JOIN [linesback] b ON b.[Receipt] = "
        "l.[Receipt] AND b.[Line] = l.[Line] WHERE l.[Receipt] = ?1 ORDER BY l.[Line]"));
    lines.bindAll({receipt.id});
    while (lines.step())
        receipt.lines.push_back({lines.value(0).toInt(), lines.value(1).toLongLong(),
                                 lines.value(2).toString(), lines.value(3).toString(),
                                 Money::orZero(lines.value(4)), lines.value(5).toLongLong(),
                                 lines.value(6).toLongLong()});
    return receipt;
}

StoredRefund storeRefund(ShopSession &session, const RefundRecord &refund) {
    StoredRefund stored;
    storedWork(session, {tables::Titles::table, tables::soldbook::table, tables::refunds::table},
               QStringLiteral("The refund was not stored, and nothing of it changed: %1."),
               [&](Connection &connection) {
                   stored = connection.dialect().storeRefund(connection, refund);
               });
    return stored;
}

} // namespace shop
