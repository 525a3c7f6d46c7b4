// The lists of customer orders: one statement each, on the index of state and age.
#include "orderlists.h"

#include "connection.h"
#include "conversions.h"
#include "dataerror.h"
#include "engine.h"
#include "orderwork.h"
#include "shopsession.h"
#include "shoptables.h"

namespace shop {

namespace {

// Each limit's row in ordersettings and its days until the shop sets its own, in the order of
// the enum.
struct LimitSetting {
    const char *name;
    int startingDays;
};
constexpr LimitSetting kLimits[] = {{"WaitingDays", 14}, {"AbandonDays", 30}, {"WipeDays", 90}};

const LimitSetting &settingOf(OrderLimit limit) {
    return kLimits[static_cast<std::size_t>(limit)];
}

// Each list's orders, in the order of the enum, and the limit a line of it is over; the orders
// not collected are only those over it (?1).
struct ListQuery {
    std::optional<OrderLimit> limit;
    const char *rest;
};
const ListQuery kLists[] = {
    {OrderLimit::WaitingDays, "WHERE [State] IN ('requested', 'ordered', 'arrived', 'told') "
                              "ORDER BY [Requested], [OrderNo]"},
    {OrderLimit::WaitingDays,
     "WHERE [State] = 'requested' ORDER BY [Supplier], [Requested], [OrderNo]"},
    {std::nullopt, "WHERE [State] = 'arrived' ORDER BY [Changed], [OrderNo]"},
    {OrderLimit::AbandonDays,
     "WHERE [State] IN ('arrived', 'told') AND [Changed] < ?1 ORDER BY [Changed], [OrderNo]"},
};

const QString &orderColumns() {
    static const QString columns = QStringLiteral(
        "SELECT [OrderNo], [Customer], [Phone], [Email], [BOOKNO], [ISBN], [Title], [Qty], "
        "[Price], [Deposit], [State], [Requested], [Changed] FROM [customerorders] ");
    return columns;
}

// A stored moment ("2001-05-03 10:00:00", as both engines give it back), read without the
// general parser's pattern: a list reads two of them a row.
QDateTime momentOf(const QVariant &value) {
    const QString text = value.toString();
    if (text.size() != 19 || text[4] != QLatin1Char('-') || text[10] != QLatin1Char(' '))
        return conv::parseMoment(text);
    const auto number = [&](int from, int length) {
        return QStringView(text).mid(from, length).toInt();
    };
    return QDateTime(QDate(number(0, 4), number(5, 2), number(8, 2)),
                     QTime(number(11, 2), number(14, 2), number(17, 2)));
}

CustomerOrder orderOf(const Statement &row) {
    CustomerOrder order;
    order.orderNo = row.value(0).toLongLong();
    order.customer = row.value(1).toString();
    order.phone = row.value(2).toString();
    order.email = row.value(3).toString();
    order.bookNo = row.value(4).toLongLong();
    order.isbn = row.value(5).toString();
    order.title = row.value(6).toString();
    order.quantity = row.value(7).toLongLong();
    order.price = Money::orZero(row.value(8));
    order.deposit = Money::orZero(row.value(9));
    order.state = orderstates::fromStored(row.value(10).toString()).value_or(order.state);
    order.requested = momentOf(row.value(11));
    order.changed = momentOf(row.value(12));
    return order;
}

std::vector<CustomerOrder> orders(Connection &connection, const QString &rest,
                                  const QVariantList &values) {
    Statement select = connection.prepare(orderColumns() + rest);
    select.bindAll(values);
    std::vector<CustomerOrder> found;
    while (select.step())
        found.push_back(orderOf(select));
    return found;
}

QDateTime midnightBefore(const QDate &today, int days) {
    return QDateTime(today.addDays(-days), QTime(0, 0));
}

// The same, as the stored moments compare.
QString daysBefore(const QDate &today, int days) {
    return conv::isoMoment(midnightBefore(today, days));
}

} // namespace

CustomerOrder customerOrder(Connection &connection, qint64 orderNo) {
    const std::vector<CustomerOrder> found =
        orders(connection, QStringLiteral("WHERE [OrderNo] = ?1"), {orderNo});
    if (found.empty())
        throw Refusal(QStringLiteral("There is no customer order %1 in this shop.").arg(orderNo));
    return found.front();
}

int orderLimit(Connection &connection, OrderLimit limit) {
    const QVariant days =
        connection.scalar(QStringLiteral("SELECT [Days] FROM [ordersettings] WHERE [Setting] = ?1"),
                          {QString::fromLatin1(settingOf(limit).name)});
    return days.isValid() && !days.isNull() ? days.toInt() : settingOf(limit).startingDays;
}

void setOrderLimit(ShopSession &session, OrderLimit limit, int days) {
    if (days < 0)
        throw DataError(QStringLiteral("A number of days cannot be below 0."));
    session.transact({tables::ordersettings::table}, [&](Connection &connection) {
        connection.write(QStringLiteral("INSERT INTO [ordersettings] ([Setting], [Days]) VALUES "
                                        "(?1, ?2) ON CONFLICT ([Setting]) DO UPDATE SET [Days] = "
                                        "excluded.[Days]"),
                         {QString::fromLatin1(settingOf(limit).name), days});
    });
}

std::vector<OrderLine> orderList(Connection &connection, OrderList list, const QDate &today) {
    const ListQuery &query = kLists[static_cast<std::size_t>(list)];
    std::optional<int> limit;
    if (query.limit)
        limit = orderLimit(connection, *query.limit);
    std::vector<CustomerOrder> found = orders(
        connection, QString::fromLatin1(query.rest),
        list == OrderList::NotCollected ? QVariantList{daysBefore(today, *limit)} : QVariantList());
    std::vector<OrderLine> lines;
    lines.reserve(found.size());
    const QDateTime since = limit ? midnightBefore(today, *limit) : QDateTime();
    for (CustomerOrder &order : found) {
        const QDateTime &age = list == OrderList::NotCollected ? order.changed : order.requested;
        const bool over = limit.has_value() && age < since;
        lines.push_back({std::move(order), over});
    }
    return lines;
}

std::vector<CustomerOrder> openOrdersOf(Connection &connection, qint64 bookNo) {
    return orders(connection,
                  QStringLiteral("WHERE [BOOKNO] = ?1 AND [State] IN ('requested', 'ordered', "
                                 "'arrived', 'told') ORDER BY [Requested], [OrderNo]"),
                  {bookNo});
}

bool wipeFinishedOrders(ShopSession &session, const QDate &today) {
    bool wiped = false;
    session.transact({tables::customerorders::table}, [&](Connection &connection) {
        wiped = connection.write(QStringLiteral("INSERT INTO [orderwipes] ([Day]) VALUES (?1) ON "
                                                "CONFLICT ([Day]) DO NOTHING"),
                                 {conv::isoDate(today)}) == 1;
        if (!wiped)
            return;
        connection.write(
            QStringLiteral("UPDATE [customerorders] SET [Customer] = '', [Phone] = '', [Email] = "
                           "'', [Wiped] = 1 WHERE [State] IN ('collected', 'cancelled', "
                           "'abandoned') AND [Wiped] = 0 AND [Changed] < ?1"),
            {daysBefore(today, orderLimit(connection, OrderLimit::WipeDays))});
    });
    return wiped;
}

void wipeAtStart(const ShopDatabase &shop, const QDate &today) {
    try {
        const std::shared_ptr<ShopSession> session = ShopSession::open(shop);
        if (session->connection().columnsOf(QLatin1String(tables::customerorders::table)).empty())
            return;
        wipeFinishedOrders(*session, today);
    } catch (const DataError &) {
        // A shop this program may not write, or one out of reach: the next start wipes.
    }
}

QString personalDataNotice() {
    return QStringLiteral("This list holds customers' personal data (names, phone numbers, "
                          "e-mail addresses): keep it safe and delete it when done.");
}

} // namespace shop
