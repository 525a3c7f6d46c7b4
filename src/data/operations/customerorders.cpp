// Customer orders through the session's connection: statements in the shop's form that both
// engines take. A move changes the order's state only from the states the move allows, in one
// statement, and a second till making the same move at once finds the state already moved.
#include "customerorders.h"

#include "connection.h"
#include "conversions.h"
#include "dataerror.h"
#include "isbn.h"
#include "isbnfinder.h"
#include "orderrecords.h"
#include "orderwork.h"
#include "shopoperations.h"
#include "shopsession.h"

namespace shop {

using namespace orderwork;

std::optional<OrderTitle> orderTitle(Connection &connection, const QString &isbnText) {
    const QString typed = isbnText.trimmed();
    if (typed.isEmpty())
        return std::nullopt;
    QVariant bookNo = connection.scalar(
        QStringLiteral("SELECT min([BOOKNO]) FROM [Titles] WHERE [ISBN] = ?1"), {typed});
    if (bookNo.isNull() || !bookNo.isValid()) {
        const std::vector<CatalogueMatch> others = isbnfinder::otherForms(connection, typed);
        if (others.empty())
            return std::nullopt;
        bookNo = others.front().bookNo;
    }
    return copiesOf(connection, bookNo.toLongLong());
}

OrderTitle copiesOf(Connection &connection, qint64 bookNo) {
    Statement select = connection.prepare(QStringLiteral(
        "SELECT t.[BOOKNO], t.[ISBN], t.[Title], t.[Retail], t.[Sale Price], t.[Qty], "
        "coalesce(h.[Held], 0) FROM [Titles] t LEFT JOIN [heldcopies] h ON h.[BOOKNO] = "
        "t.[BOOKNO] WHERE t.[BOOKNO] = ?1"));
    select.bindAll({bookNo});
    if (!select.step())
        throw DataError(QStringLiteral("The title %1 is no longer in the catalogue.").arg(bookNo));
    OrderTitle title{select.value(0).toLongLong(),   select.value(1).toString(),
                     select.value(2).toString(),     select.value(3).toString(),
                     Money::orZero(select.value(4)), select.value(5).toLongLong(),
                     select.value(6).toLongLong()};
    select.step();
    return title;
}

std::optional<QDate> setAsideOn(Connection &connection, qint64 orderNo) {
    const QVariant at = connection.scalar(
        QStringLiteral("SELECT [HeldAt] FROM [orderholds] WHERE [OrderNo] = ?1"), {orderNo});
    if (!at.isValid() || at.isNull())
        return std::nullopt;
    return conv::parseMoment(at.toString()).date();
}

TakenOrder takeOrder(ShopSession &session, const NewOrder &order) {
    if (order.customer.trimmed().isEmpty())
        throw DataError(QStringLiteral("Give the customer's name."));
    if (order.quantity < 1)
        throw DataError(QStringLiteral("A customer orders 1 copy or more."));
    if (order.isbn.trimmed().isEmpty())
        throw DataError(QStringLiteral("Give the title's ISBN."));
    if (order.price && *order.price < Money())
        throw DataError(QStringLiteral("The price cannot be below 0."));
    if (const auto reading = isbn::read(order.isbn);
        reading && !reading->checkDigitValid() && !order.keepWrongCheckDigit)
        throw DataError(isbn::checkDigitProblem(order.isbn.trimmed(), *reading));
    TakenOrder taken;
    orderWork(session, [&](Connection &connection) {
        std::optional<OrderTitle> title = orderTitle(connection, order.isbn);
        taken.titleAdded = !title;
        if (!title) {
            if (order.title.trimmed().isEmpty() || !order.price)
                throw Refusal(QStringLiteral("The catalogue has no title with the ISBN %1: give "
                                             "its title and price to add it.")
                                  .arg(order.isbn.trimmed()));
            const qint64 bookNo = connection.dialect().addOrderedTitle(
                connection, {order.isbn.trimmed(), order.title.trimmed(), order.author.trimmed(),
                             order.publisher.trimmed(), order.supplier.trimmed(), *order.price});
            title = copiesOf(connection, bookNo);
        }
        taken.bookNo = title->bookNo;
        Statement insert = connection.prepare(QStringLiteral(
            "INSERT INTO [customerorders] ([Customer], [Phone], [Email], [BOOKNO], [ISBN], "
            "[Title], [Qty], [Price], [Supplier], [Promised], [Notes], [State], [Requested], "
            "[Changed]) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?13) "
            "RETURNING [OrderNo]"));
        const QString supplier =
            order.supplier.trimmed().isEmpty() ? title->supplier : order.supplier.trimmed();
        insert.bindAll({order.customer.trimmed(), order.phone.trimmed(), order.email.trimmed(),
                        title->bookNo, title->isbn, title->title, order.quantity,
                        order.price.value_or(title->price).toDouble(), supplier,
                        order.promised ? QVariant(conv::isoDate(*order.promised)) : QVariant(),
                        order.notes.trimmed(), orderstates::stored(OrderState::Requested),
                        conv::isoMoment(order.at)});
        insert.step();
        taken.orderNo = insert.value(0).toLongLong();
        insert.step();
        connection.write(
            QStringLiteral(
                "INSERT INTO [orderhistory] ([OrderNo], [State], [ChangedAt], [Till], [Login]) "
                "VALUES (?1, ?2, ?3, ?4, ?5)"),
            {taken.orderNo, orderstates::stored(OrderState::Requested), conv::isoMoment(order.at),
             thisTillName(connection), connection.dialect().login(connection)});
    });
    return taken;
}

void moveOrder(ShopSession &session, qint64 orderNo, OrderState to, const QDateTime &at,
               std::optional<ToldBy> how) {
    if (to == OrderState::Cancelled)
        return cancel(session, orderNo, at, std::nullopt);
    if (to == OrderState::Arrived || to == OrderState::Collected || to == OrderState::Requested)
        throw DataError(
            QStringLiteral("An order is made %1 by its own step.").arg(orderstates::caption(to)));
    if (to == OrderState::Told && !how)
        throw DataError(QStringLiteral("Say how the customer was told."));
    orderWork(session, [&](Connection &connection) {
        changeState(connection, orderNo, to, at, to == OrderState::Told ? how : std::nullopt);
        if (to == OrderState::Abandoned)
            releaseHold(connection, orderNo);
    });
}

void setAside(ShopSession &session, qint64 orderNo, const QDateTime &at) {
    orderWork(session, [&](Connection &connection) {
        changeState(connection, orderNo, OrderState::Arrived, at);
        const CustomerOrder order = customerOrder(connection, orderNo);
        // One statement sets the copies aside if that many are free, as another till's change
        // left the title's count: two tills cannot both set aside the last copy.
        if (connection.write(
                QStringLiteral(
                    "INSERT INTO [heldcopies] ([BOOKNO], [Held]) SELECT t.[BOOKNO], ?2 FROM "
                    "[Titles] t WHERE t.[BOOKNO] = ?1 AND ?2 <= t.[Qty] ON CONFLICT ([BOOKNO]) DO "
                    "UPDATE SET [Held] = [heldcopies].[Held] + excluded.[Held] WHERE "
                    "[heldcopies].[Held] + excluded.[Held] <= (SELECT s.[Qty] FROM [Titles] s "
                    "WHERE s.[BOOKNO] = excluded.[BOOKNO])"),
                {order.bookNo, order.quantity}) != 1) {
            const OrderTitle copies = copiesOf(connection, order.bookNo);
            throw Refusal(QStringLiteral("Only %1 of \"%2\" free to set aside: customer order %3 "
                                         "wants %4.")
                              .arg(copiesText(std::max<qint64>(copies.free(), 0)))
                              .arg(copies.title)
                              .arg(orderNo)
                              .arg(order.quantity));
        }
        connection.write(
            QStringLiteral("INSERT INTO [orderholds] ([OrderNo], [BOOKNO], [Copies], [HeldAt]) "
                           "VALUES (?1, ?2, ?3, ?4)"),
            {orderNo, order.bookNo, order.quantity, conv::isoMoment(at)});
    });
}

} // namespace shop
