// Purchase orders through the session's connection, in statements of the shop's form that both
// engines take.
#include "purchaseorders.h"

#include "connection.h"
#include "conversions.h"
#include "dataerror.h"
#include "engine.h"
#include "refusablework.h"
#include "shopsession.h"

#include <array>

using shop::Refusal;

namespace {

// As the shop's tables keep them, in the order of the enum.
constexpr std::array<const char *, 5> kStates{"draft", "sent", "partly received", "received",
                                              "closed"};
static_assert(kStates.size() == static_cast<std::size_t>(PurchaseState::Closed) + 1);

template <typename Work> void orderWork(ShopSession &session, Work &&work) {
    shop::refusableWork(session,
                        {QStringLiteral("purchaseorders"), QStringLiteral("purchaselines"),
                         QStringLiteral("customerorders"), QStringLiteral("orderhistory")},
                        QStringLiteral("The purchase order was not changed: %1."),
                        std::forward<Work>(work));
}

// Why a move from `from` states was not made: the order is gone, or in another state.
Refusal refusedMove(Connection &connection, qint64 orderNo, const QString &move) {
    const QVariant now = connection.scalar(
        QStringLiteral("SELECT [State] FROM [purchaseorders] WHERE [OrderNo] = ?1"), {orderNo});
    if (!now.isValid() || now.isNull())
        return Refusal(QStringLiteral("There is no purchase order %1 in this shop.").arg(orderNo));
    return Refusal(QStringLiteral("Purchase order %1 is %2: it cannot be %3.")
                       .arg(orderNo)
                       .arg(now.toString(), move));
}

void changeState(Connection &connection, qint64 orderNo, const QString &from, PurchaseState to,
                 const QDateTime &at, const QString &move) {
    if (connection.write(QStringLiteral("UPDATE [purchaseorders] SET [State] = ?2, [Changed] = ?3 "
                                        "WHERE [OrderNo] = ?1 AND [State] IN (%1)")
                             .arg(from),
                         {orderNo, purchasestates::stored(to), conv::isoMoment(at)}) != 1)
        throw refusedMove(connection, orderNo, move);
}

PurchaseOrder orderOf(Statement &row) {
    return {row.value(0).toLongLong(),
            row.value(1).toString(),
            purchasestates::fromStored(row.value(2).toString()).value_or(PurchaseState::Draft),
            conv::parseMoment(row.value(3).toString()),
            {}};
}

const char *kOrderColumns =
    "SELECT [OrderNo], [Supplier], [State], [Created] FROM [purchaseorders]";

} // namespace

Money PurchaseOrder::total() const {
    qint64 units = 0;
    for (const PurchaseLine &l : lines)
        units += l.cost.units() * (l.ordered - l.cancelled);
    return Money::fromUnits(units);
}

namespace purchasestates {

QString stored(PurchaseState state) {
    return QLatin1String(kStates[static_cast<std::size_t>(state)]);
}

std::optional<PurchaseState> fromStored(const QString &text) {
    for (std::size_t i = 0; i < kStates.size(); ++i)
        if (text == QLatin1String(kStates[i]))
            return static_cast<PurchaseState>(i);
    return std::nullopt;
}

bool open(PurchaseState state) {
    return state == PurchaseState::Sent || state == PurchaseState::PartlyReceived;
}

} // namespace purchasestates

namespace shop {

void requireGoodOrder(const QString &supplier, const std::vector<NewPurchaseLine> &lines) {
    if (supplier.trimmed().isEmpty())
        throw DataError(QStringLiteral("Choose the supplier the order goes to."));
    if (lines.empty())
        throw DataError(QStringLiteral("An order needs at least one title."));
    for (const NewPurchaseLine &line : lines) {
        if (line.quantity < 1)
            throw DataError(QStringLiteral("Order 1 copy or more of each title."));
        if (line.cost && *line.cost < Money())
            throw DataError(QStringLiteral("A cost cannot be below 0."));
    }
}

qint64 createPurchaseOrder(ShopSession &session, const QString &supplier,
                           const std::vector<NewPurchaseLine> &lines, const QDateTime &at) {
    requireGoodOrder(supplier, lines);
    qint64 orderNo = 0;
    orderWork(session, [&](Connection &connection) {
        orderNo = writePurchaseOrder(connection, supplier, lines, at);
    });
    return orderNo;
}

qint64 writePurchaseOrder(Connection &connection, const QString &supplier,
                          const std::vector<NewPurchaseLine> &lines, const QDateTime &at) {
    qint64 orderNo = 0;
    Statement order = connection.prepare(QStringLiteral(
        "INSERT INTO [purchaseorders] ([Supplier], [State], [Created], [Changed], [Login]) "
        "VALUES (?1, 'draft', ?2, ?2, ?3) RETURNING [OrderNo]"));
    order.bindAll(
        {supplier.trimmed(), conv::isoMoment(at), connection.dialect().login(connection)});
    order.step();
    orderNo = order.value(0).toLongLong();
    order.step();
    // Each line copies its title's ISBN and title, so that the order reads as it was sent.
    for (const NewPurchaseLine &line : lines) {
        if (connection.write(
                QStringLiteral(
                    "INSERT INTO [purchaselines] ([OrderNo], [BOOKNO], [ISBN], [Title], "
                    "[Ordered], [Cost], [CustomerOrder]) SELECT ?1, t.[BOOKNO], coalesce(t.[ISBN], "
                    "''), coalesce(t.[Title], ''), ?3, coalesce(?4, t.[PurchasePrice], 0), ?5 FROM "
                    "[Titles] t WHERE t.[BOOKNO] = ?2"),
                {orderNo, line.bookNo, line.quantity,
                 line.cost ? QVariant(line.cost->toDouble()) : QVariant(),
                 line.customerOrder ? QVariant(line.customerOrder) : QVariant()}) != 1)
            throw Refusal(
                QStringLiteral("The title %1 is no longer in the catalogue.").arg(line.bookNo));
    }
    return orderNo;
}

void sendPurchaseOrder(ShopSession &session, qint64 orderNo, const QDateTime &at) {
    orderWork(session, [&](Connection &connection) {
        changeState(connection, orderNo, QStringLiteral("'draft'"), PurchaseState::Sent, at,
                    QStringLiteral("sent"));
        // The customer orders on the order are placed with the supplier now.
        Statement placed = connection.prepare(QStringLiteral(
            "UPDATE [customerorders] SET [State] = 'ordered', [Changed] = ?2 WHERE [State] = "
            "'requested' AND [OrderNo] IN (SELECT l.[CustomerOrder] FROM [purchaselines] l WHERE "
            "l.[OrderNo] = ?1) RETURNING [OrderNo]"));
        placed.bindAll({orderNo, conv::isoMoment(at)});
        std::vector<qint64> moved;
        while (placed.step())
            moved.push_back(placed.value(0).toLongLong());
        Statement history = connection.prepare(QStringLiteral(
            "INSERT INTO [orderhistory] ([OrderNo], [State], [ChangedAt], [Login]) VALUES (?1, "
            "'ordered', ?2, ?3)"));
        for (qint64 customerOrder : moved)
            history.run(
                {customerOrder, conv::isoMoment(at), connection.dialect().login(connection)});
    });
}

void cancelPurchaseLine(ShopSession &session, qint64 line, const QDateTime &at) {
    orderWork(session, [&](Connection &connection) {
        // Cancels what is still to come as the line is stored now: a delivery received at
        // another computer meanwhile is not cancelled.
        Statement cancel = connection.prepare(QStringLiteral(
            "UPDATE [purchaselines] SET [Cancelled] = [Ordered] - [Received] WHERE [Line] = ?1 "
            "AND [Ordered] - [Cancelled] > [Received] AND [OrderNo] IN (SELECT o.[OrderNo] FROM "
            "[purchaseorders] o WHERE o.[State] IN ('draft', 'sent', 'partly received')) "
            "RETURNING [OrderNo]"));
        cancel.bindAll({line});
        if (!cancel.step())
            throw Refusal(QStringLiteral("Nothing is still to come on that line of an open "
                                         "order: there is nothing to cancel."));
        const qint64 orderNo = cancel.value(0).toLongLong();
        cancel.step();
        settleOrderState(connection, orderNo, at);
    });
}

void closePurchaseOrder(ShopSession &session, qint64 orderNo, const QDateTime &at) {
    orderWork(session, [&](Connection &connection) {
        changeState(connection, orderNo,
                    QStringLiteral("'draft', 'sent', 'partly received', "
                                   "'received'"),
                    PurchaseState::Closed, at, QStringLiteral("closed"));
    });
}

void settleOrderState(Connection &connection, qint64 orderNo, const QDateTime &at) {
    connection.write(
        QStringLiteral(
            "UPDATE [purchaseorders] SET [State] = CASE WHEN EXISTS (SELECT 1 FROM [purchaselines] "
            "l WHERE l.[OrderNo] = ?1 AND l.[Ordered] - l.[Cancelled] > l.[Received]) THEN 'partly "
            "received' ELSE 'received' END, [Changed] = ?2 WHERE [OrderNo] = ?1 AND [State] IN "
            "('sent', 'partly received')"),
        {orderNo, conv::isoMoment(at)});
}

PurchaseOrder purchaseOrder(Connection &connection, qint64 orderNo) {
    Statement select =
        connection.prepare(QLatin1String(kOrderColumns) + QStringLiteral(" WHERE [OrderNo] = ?1"));
    select.bindAll({orderNo});
    if (!select.step())
        throw DataError(QStringLiteral("There is no purchase order %1 in this shop.").arg(orderNo));
    PurchaseOrder order = orderOf(select);
    select.step();
    Statement lines = connection.prepare(QStringLiteral(
        "SELECT [Line], [Ordered], [Cancelled], [Cost] FROM [purchaselines] WHERE [OrderNo] = ?1 "
        "ORDER BY [Line]"));
    lines.bindAll({orderNo});
    while (lines.step())
        order.lines.push_back({lines.value(0).toLongLong(), lines.value(1).toLongLong(),
                               lines.value(2).toLongLong(), Money::orZero(lines.value(3))});
    return order;
}

std::vector<PurchaseOrder> purchaseOrders(Connection &connection, const QString &supplier,
                                          bool unfinishedOnly) {
    QStringList where;
    if (!supplier.isEmpty())
        where << QStringLiteral("[Supplier] = ?1");
    if (unfinishedOnly)
        where << QStringLiteral("[State] IN ('draft', 'sent', 'partly received')");
    QString sql = QLatin1String(kOrderColumns);
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    Statement select = connection.prepare(sql + QStringLiteral(" ORDER BY [OrderNo] DESC"));
    if (!supplier.isEmpty())
        select.bindAll({supplier});
    std::vector<PurchaseOrder> orders;
    while (select.step())
        orders.push_back(orderOf(select));
    return orders;
}

SupplierUse supplierUse(Connection &connection, const QString &supplier) {
    if (connection.columnsOf(QStringLiteral("purchaseorders")).empty())
        return {};
    return {connection
                .scalar(QStringLiteral("SELECT count(*) FROM [purchaseorders] WHERE [Supplier] = "
                                       "?1 AND [State] IN ('draft', 'sent', 'partly received')"),
                        {supplier})
                .toLongLong(),
            connection
                .scalar(QStringLiteral("SELECT count(*) FROM [invoiceholds] WHERE [Retail] = ?1 "
                                       "AND [ApprovedAt] IS NULL"),
                        {supplier})
                .toLongLong()};
}

QStringList supplierNames(Connection &connection) {
    Statement select = connection.prepare(QStringLiteral(
        "SELECT [RetName] FROM [retail] WHERE [RetName] IS NOT NULL AND [RetName] <> '' UNION "
        "SELECT [Retail] FROM [Titles] WHERE [Retail] IS NOT NULL AND [Retail] <> ''"));
    QStringList names;
    while (select.step())
        names << select.value(0).toString();
    names.sort(Qt::CaseInsensitive);
    names.removeDuplicates();
    return names;
}

} // namespace shop
