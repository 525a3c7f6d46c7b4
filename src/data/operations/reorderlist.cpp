// The reorder list in the scratch table reorderlist, written only through these operations and
// the quantity the operator types into its grid.
#include "reorderlist.h"

#include "connection.h"
#include "dataerror.h"
#include "purchaseorders.h"
#include "refusablework.h"
#include "reorder.h"
#include "shopsession.h"

namespace shop {

namespace {

template <typename Work> void listWork(ShopSession &session, Work &&work) {
    storedWork(session,
               {QStringLiteral("reorderlist"), QStringLiteral("purchaseorders"),
                QStringLiteral("purchaselines")},
               QStringLiteral("The reorder list was not changed: %1."), std::forward<Work>(work));
}

// The oldest customer order of the title not yet ordered: a line ordering it carries it.
QVariant oldestWaiting(Connection &connection, qint64 bookNo) {
    const QVariant order = connection.scalar(
        QStringLiteral("SELECT min([OrderNo]) FROM [customerorders] WHERE [BOOKNO] = ?1 AND "
                       "[State] = 'requested'"),
        {bookNo});
    return order.isValid() && !order.isNull() ? order : QVariant();
}

void insertLine(Connection &connection, const QString &supplier, const Suggestion &s,
                qint64 quantity) {
    connection.write(QStringLiteral("INSERT INTO [reorderlist] ([Supplier], [BOOKNO], [ISBN], "
                                    "[Title], [OnHand], [SafeQty], [Sold], [OnOrder], [Awaited], "
                                    "[Suggested], [Quantity], [Cost], [CustomerOrder]) VALUES "
                                    "(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)"),
                     {supplier, s.bookNo, s.isbn, s.title, s.figures.onHand, s.figures.safe,
                      s.figures.sold, s.figures.onOrder, s.figures.awaited, s.quantity, quantity,
                      std::max(s.cost, Money()).toDouble(),
                      s.figures.awaited > 0 ? oldestWaiting(connection, s.bookNo) : QVariant()});
}

} // namespace

void fillReorderList(ShopSession &session, const QString &supplier, const QDate &today) {
    if (supplier.trimmed().isEmpty())
        throw DataError(QStringLiteral("Choose the supplier to reorder from."));
    listWork(session, [&](Connection &connection) {
        connection.exec(QStringLiteral("DELETE FROM [reorderlist]"));
        for (const Suggestion &s : reorderSuggestions(connection, supplier.trimmed(), today))
            insertLine(connection, supplier.trimmed(), s, s.quantity);
    });
}

void addToReorderList(ShopSession &session, const QString &supplier, qint64 bookNo,
                      const QDate &today) {
    listWork(session, [&](Connection &connection) {
        if (connection
                .scalar(QStringLiteral("SELECT count(*) FROM [reorderlist] WHERE [BOOKNO] = ?1"),
                        {bookNo})
                .toInt() > 0)
            throw DataError(QStringLiteral("The title is on the list already: change its "
                                           "quantity there."));
        const Suggestion s = reorderSuggestion(connection, bookNo, today);
        insertLine(connection, supplier.trimmed(), s, std::max<qint64>(s.quantity, 1));
    });
}

qint64 orderReorderList(ShopSession &session, const QDateTime &at) {
    qint64 orderNo = 0;
    listWork(session, [&](Connection &connection) {
        std::vector<NewPurchaseLine> lines;
        Statement select = connection.prepare(
            QStringLiteral("SELECT [BOOKNO], [Quantity], [Cost], coalesce([CustomerOrder], 0) "
                           "FROM [reorderlist] WHERE [Quantity] > 0 ORDER BY [Title], [BOOKNO]"));
        while (select.step())
            lines.push_back({select.value(0).toLongLong(), select.value(1).toLongLong(),
                             Money::fromValue(select.value(2)), select.value(3).toLongLong()});
        if (lines.empty())
            throw DataError(QStringLiteral("No line of the list has copies to order."));
        const QString supplier =
            connection.scalar(QStringLiteral("SELECT min([Supplier]) FROM [reorderlist]"))
                .toString();
        requireGoodOrder(supplier, lines);
        orderNo = writePurchaseOrder(connection, supplier, lines, at);
        connection.exec(QStringLiteral("DELETE FROM [reorderlist]"));
    });
    return orderNo;
}

} // namespace shop
