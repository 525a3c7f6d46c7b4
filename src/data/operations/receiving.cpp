// Receiving deliveries against purchase orders, in statements of the shop's form that both
// engines take. A line's received copies change by one conditional statement that holds only
// while the line still wants them: of two computers receiving the same order at once, the
// second finds the copies received and reads the line again.
#include "receiving.h"

#include "connection.h"
#include "conversions.h"
#include "dataerror.h"
#include "orderlists.h"
#include "purchaseorders.h"
#include "refusablework.h"
#include "shopoperations.h"
#include "shopsession.h"

#include <map>
#include <set>

namespace shop {

namespace {

struct Candidate {
    qint64 line = 0;
    qint64 orderNo = 0;
    qint64 outstanding = 0;
    Money cost;
};

// The lines of the supplier's open orders (or of the one order) that hold the title, oldest
// first, with the copies each still wants now.
std::vector<Candidate> candidates(Connection &connection, const QString &supplier, qint64 orderNo,
                                  qint64 bookNo) {
    Statement select = connection.prepare(QStringLiteral(
        "SELECT l.[Line], l.[OrderNo], l.[Ordered] - l.[Cancelled] - l.[Received], l.[Cost] FROM "
        "[purchaselines] l JOIN [purchaseorders] o ON o.[OrderNo] = l.[OrderNo] WHERE "
        "l.[BOOKNO] = ?1 AND o.[State] IN ('sent', 'partly received') AND o.[Supplier] = ?2 AND "
        "(?3 = 0 OR o.[OrderNo] = ?3) ORDER BY o.[OrderNo], l.[Line]"));
    select.bindAll({bookNo, supplier, orderNo});
    std::vector<Candidate> list;
    while (select.step())
        list.push_back({select.value(0).toLongLong(), select.value(1).toLongLong(),
                        std::max<qint64>(select.value(2).toLongLong(), 0),
                        Money::orZero(select.value(3))});
    return list;
}

// The delivery's copies by title, in the order the titles first came; a title's first cost.
std::vector<DeliveredCopies> byTitle(const std::vector<DeliveredCopies> &lines) {
    std::vector<DeliveredCopies> titles;
    std::map<qint64, std::size_t> at;
    for (const DeliveredCopies &line : lines) {
        auto [it, added] = at.emplace(line.bookNo, titles.size());
        if (added)
            titles.push_back(line);
        else
            titles[it->second].copies += line.copies;
    }
    return titles;
}

QString titleOf(Connection &connection, qint64 bookNo) {
    const QVariant title = connection.scalar(
        QStringLiteral("SELECT coalesce([Title], [ISBN], '') FROM [Titles] WHERE [BOOKNO] = ?1"),
        {bookNo});
    if (!title.isValid())
        throw Refusal(QStringLiteral("The title %1 is no longer in the catalogue.").arg(bookNo));
    return title.toString();
}

QString warning(const QString &title, qint64 extra, bool onOrder, const QString &supplier) {
    if (onOrder)
        return QStringLiteral("%1 of \"%2\" more than the orders still want.")
            .arg(copiesText(extra), title);
    return QStringLiteral("\"%1\" (%2) is on no open order to %3.")
        .arg(title, copiesText(extra), supplier);
}

// The supplier the delivery comes from: the order's, when it names one, which must be open.
QString supplierOf(Connection &connection, const Delivery &delivery) {
    if (delivery.orderNo == 0)
        return delivery.supplier.trimmed();
    const PurchaseOrder order = purchaseOrder(connection, delivery.orderNo);
    if (!purchasestates::open(order.state))
        throw Refusal(QStringLiteral("Purchase order %1 is %2: only a sent or partly received "
                                     "order is received against.")
                          .arg(order.orderNo)
                          .arg(purchasestates::stored(order.state)));
    return order.supplier;
}

void requireGood(const Delivery &delivery) {
    if (delivery.orderNo == 0 && delivery.supplier.trimmed().isEmpty())
        throw DataError(QStringLiteral("Choose the supplier the delivery comes from."));
    if (delivery.lines.empty())
        throw DataError(QStringLiteral("Scan or type the titles that came."));
    for (const DeliveredCopies &line : delivery.lines) {
        if (line.copies < 1)
            throw DataError(QStringLiteral("A title comes in 1 copy or more."));
        if (line.cost && *line.cost < Money())
            throw DataError(QStringLiteral("A cost cannot be below 0."));
    }
}

void recordLine(Connection &connection, qint64 delivery, qint64 line, qint64 bookNo, qint64 copies,
                const Money &cost, qint64 extra) {
    connection.write(
        QStringLiteral(
            "INSERT INTO [deliverylines] ([Delivery], [Line], [BOOKNO], [Copies], [Cost], [Extra]) "
            "VALUES (?1, ?2, ?3, ?4, ?5, ?6)"),
        {delivery, line ? QVariant(line) : QVariant(), bookNo, copies, cost.toDouble(), extra});
}

Money titleCost(Connection &connection, qint64 bookNo) {
    return Money::orZero(connection.scalar(
        QStringLiteral("SELECT [PurchasePrice] FROM [Titles] WHERE [BOOKNO] = ?1"), {bookNo}));
}

} // namespace

qint64 copiesTyped(const QString &text) {
    const QString typed = text.trimmed();
    bool whole = false;
    const qint64 n = typed.toLongLong(&whole);
    if (!whole)
        throw DataError(
            QStringLiteral("\"%1\" is not a whole number of copies: type 1, 2, 3 ...").arg(typed));
    if (n < 1)
        throw DataError(QStringLiteral("A title comes in 1 copy or more."));
    return n;
}

QStringList receivingWarnings(Connection &connection, const Delivery &delivery) {
    const QString supplier = supplierOf(connection, delivery);
    QStringList warnings;
    for (const DeliveredCopies &line : byTitle(delivery.lines)) {
        const std::vector<Candidate> lines =
            candidates(connection, supplier, delivery.orderNo, line.bookNo);
        qint64 wanted = 0;
        for (const Candidate &c : lines)
            wanted += c.outstanding;
        if (line.copies > wanted)
            warnings << warning(titleOf(connection, line.bookNo), line.copies - wanted,
                                !lines.empty(), supplier);
    }
    return warnings;
}

ReceivedDelivery receive(ShopSession &session, const Delivery &delivery, bool warningsAccepted) {
    requireGood(delivery);
    ReceivedDelivery result;
    std::vector<qint64> titles;
    refusableWork(
        session,
        {QStringLiteral("deliveries"), QStringLiteral("deliverylines"),
         QStringLiteral("purchaselines"), QStringLiteral("purchaseorders"),
         QStringLiteral("Titles")},
        QStringLiteral("The delivery was not received and the stock was not changed: %1."),
        [&](Connection &connection) {
            result = {};
            titles.clear();
            const QString supplier = supplierOf(connection, delivery);
            Statement made = connection.prepare(QStringLiteral(
                "INSERT INTO [deliveries] ([Supplier], [ReceivedAt], [ReturnBy], [Login]) VALUES "
                "(?1, ?2, ?3, ?4) RETURNING [Delivery]"));
            made.bindAll(
                {supplier, conv::isoMoment(delivery.at),
                 delivery.returnBy ? QVariant(conv::isoDate(*delivery.returnBy)) : QVariant(),
                 connection.dialect().login(connection)});
            made.step();
            result.delivery = made.value(0).toLongLong();
            made.step();
            QStringList warnings;
            std::set<qint64> orders;
            for (const DeliveredCopies &line : byTitle(delivery.lines)) {
                const QString title = titleOf(connection, line.bookNo);
                qint64 left = line.copies;
                Candidate last;
                // Each pass takes what the oldest line still wants; a line another computer
                // received meanwhile changes nothing and is read again.
                for (int pass = 0; left > 0 && pass < 1000; ++pass) {
                    const std::vector<Candidate> lines =
                        candidates(connection, supplier, delivery.orderNo, line.bookNo);
                    if (!lines.empty())
                        last = lines.back();
                    auto wanting = std::find_if(lines.begin(), lines.end(),
                                                [](const Candidate &c) { return c.outstanding; });
                    if (wanting == lines.end())
                        break;
                    const qint64 n = std::min(left, wanting->outstanding);
                    if (connection.write(QStringLiteral("UPDATE [purchaselines] SET [Received] = "
                                                        "[Received] + ?2 WHERE [Line] = ?1 AND "
                                                        "[Ordered] - [Cancelled] - [Received] >= "
                                                        "?2"),
                                         {wanting->line, n}) != 1)
                        continue;
                    recordLine(connection, result.delivery, wanting->line, line.bookNo, n,
                               line.cost.value_or(wanting->cost), 0);
                    orders.insert(wanting->orderNo);
                    left -= n;
                }
                if (left > 0) {
                    warnings << warning(title, left, last.line != 0, supplier);
                    result.extraCopies += left;
                    if (last.line) {
                        connection.write(QStringLiteral("UPDATE [purchaselines] SET [Received] = "
                                                        "[Received] + ?2 WHERE [Line] = ?1"),
                                         {last.line, left});
                        orders.insert(last.orderNo);
                    }
                    recordLine(connection, result.delivery, last.line, line.bookNo, left,
                               line.cost.value_or(last.line ? last.cost
                                                            : titleCost(connection, line.bookNo)),
                               left);
                }
                if (!addCopies(connection, line.bookNo, line.copies))
                    throw Refusal(QStringLiteral("The title %1 is no longer in the catalogue.")
                                      .arg(line.bookNo));
                titles.push_back(line.bookNo);
            }
            if (!warnings.isEmpty() && !warningsAccepted)
                throw Refusal(warnings.join(QLatin1Char(' ')));
            for (qint64 orderNo : orders)
                settleOrderState(connection, orderNo, delivery.at);
        },
        QStringLiteral("The delivery was not received: %1"));
    // The copies go to the customers waiting for them first, oldest order first, as far as the
    // free copies go; an order they do not reach keeps waiting.
    for (qint64 bookNo : titles)
        for (const CustomerOrder &order : openOrdersOf(session.connection(), bookNo)) {
            if (order.state != OrderState::Requested && order.state != OrderState::Ordered)
                continue;
            try {
                setAside(session, order.orderNo, delivery.at);
                result.setAside.push_back(order.orderNo);
            } catch (const DataError &) {
            }
        }
    return result;
}

} // namespace shop
