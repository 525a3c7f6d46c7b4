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
#include "shopoperations.h"
#include "shopsession.h"
#include "shoptables.h"

#include <QUuid>

namespace shop {

namespace {

const QStringList &changedTables() {
    static const QStringList tables{tables::customerorders::table, tables::orderhistory::table,
                                    tables::heldcopies::table,     tables::orderholds::table,
                                    tables::orderdeposits::table,  tables::Titles::table};
    return tables;
}

Money moneyOf(const QVariant &value) {
    return Money::fromValue(value).value_or(Money());
}

// The states as a list for IN (...): the program's own words, never typed text.
QString stateList(std::span<const OrderState> states) {
    QStringList quoted;
    for (OrderState state : states)
        quoted << QLatin1Char('\'') + orderstates::stored(state) + QLatin1Char('\'');
    return quoted.join(QStringLiteral(", "));
}

QString openStates() {
    static const OrderState open[] = {OrderState::Requested, OrderState::Ordered,
                                      OrderState::Arrived, OrderState::Told};
    return stateList(open);
}

// A sentence for the operator, shown as it is: the order's own rules refused the work.
class Refusal : public DataError {
public:
    explicit Refusal(const QString &why) : DataError(why) {}
};

Refusal refused(const QString &why) {
    return Refusal(why);
}

// Runs the work in one transaction; a refusal keeps its sentence, another failure says that
// nothing changed.
template <typename Work> void orderWork(ShopSession &session, Work &&work) {
    try {
        session.transact(changedTables(), std::forward<Work>(work));
    } catch (const Refusal &refusal) {
        throw DataError(refusal.description());
    } catch (const DataError &error) {
        throw notStored(QStringLiteral("The customer order was not changed: %1."), error);
    }
}

// Why the move was not made: the order is not there, or its state does not allow it now.
Refusal refusedMove(Connection &connection, qint64 orderNo, OrderState to) {
    const QVariant now = connection.scalar(
        QStringLiteral("SELECT [State] FROM [customerorders] WHERE [OrderNo] = ?1"), {orderNo});
    if (!now.isValid())
        return refused(QStringLiteral("There is no customer order %1 in this shop.").arg(orderNo));
    const OrderState state = orderstates::fromStored(now.toString()).value_or(to);
    if (state == to)
        return refused(QStringLiteral("Customer order %1 is %2 already.")
                           .arg(orderNo)
                           .arg(orderstates::caption(state)));
    if (to == OrderState::Collected && !orderstates::finished(state))
        return refused(QStringLiteral("Customer order %1 is %2: it can be collected only once "
                                      "its copies have arrived.")
                           .arg(orderNo)
                           .arg(orderstates::caption(state)));
    return refused(QStringLiteral("Customer order %1 is %2: it cannot be made %3.")
                       .arg(orderNo)
                       .arg(orderstates::caption(state), orderstates::caption(to)));
}

QVariant thisTillName(Connection &connection) {
    Statement till = connection.prepare(connection.dialect().thisTill());
    QVariant name;
    if (till.step())
        name = till.value(1);
    while (till.step()) {
    }
    return name;
}

// The one conditional change of the order's state, and its line of history.
void changeState(Connection &connection, qint64 orderNo, OrderState to, const QDateTime &at,
                 std::optional<ToldBy> how = std::nullopt) {
    Statement update = connection.prepare(
        QStringLiteral("UPDATE [customerorders] SET [State] = ?2, [Changed] = ?3 WHERE "
                       "[OrderNo] = ?1 AND [State] IN (%1)")
            .arg(stateList(orderstates::from(to))));
    update.bindAll({orderNo, orderstates::stored(to), conv::isoMoment(at)});
    update.step();
    if (connection.changes() != 1)
        throw refusedMove(connection, orderNo, to);
    Statement history = connection.prepare(QStringLiteral(
        "INSERT INTO [orderhistory] ([OrderNo], [State], [ChangedAt], [Till], [Login], [Told]) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6)"));
    history.bindAll({orderNo, orderstates::stored(to), conv::isoMoment(at),
                     thisTillName(connection), connection.dialect().login(connection),
                     how ? QVariant(orderstates::stored(*how)) : QVariant()});
    history.step();
}

// The order's copies set aside go back to the free stock.
void releaseHold(Connection &connection, qint64 orderNo) {
    Statement hold = connection.prepare(
        QStringLiteral("SELECT [BOOKNO], [Copies] FROM [orderholds] WHERE [OrderNo] = ?1"));
    hold.bindAll({orderNo});
    if (!hold.step())
        return;
    const QVariantList held{hold.value(0), hold.value(1)};
    hold.step();
    Statement release = connection.prepare(
        QStringLiteral("UPDATE [heldcopies] SET [Held] = [Held] - ?2 WHERE [BOOKNO] = ?1"));
    release.bindAll(held);
    release.step();
    Statement remove =
        connection.prepare(QStringLiteral("DELETE FROM [orderholds] WHERE [OrderNo] = ?1"));
    remove.bindAll({orderNo});
    remove.step();
}

QString newId() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

void recordDeposit(Connection &connection, const QString &kind, const DepositMoney &money,
                   const QVariant &receipt) {
    Statement insert = connection.prepare(QStringLiteral(
        "INSERT INTO [orderdeposits] ([Movement], [OrderNo], [Kind], [Session], [Method], "
        "[Receipt], [Amount], [MovedAt], [Login]) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)"));
    insert.bindAll(
        {money.id, money.orderNo, kind, money.session ? QVariant(money.session) : QVariant(),
         money.method ? QVariant(money.method) : QVariant(), receipt, money.amount.toDouble(),
         conv::isoMoment(money.at), connection.dialect().login(connection)});
    insert.step();
}

// Money moves by a method in use, in a session still open.
void requireTill(Connection &connection, const DepositMoney &money) {
    if (money.amount <= Money())
        throw refused(QStringLiteral("A deposit must be more than 0."));
    const QVariant removed = connection.scalar(
        QStringLiteral("SELECT [Removed] FROM [paymentmethods] WHERE [Method] = ?1"),
        {money.method});
    if (!removed.isValid() || removed.toInt() != 0)
        throw refused(QStringLiteral("Choose a payment method in use."));
    const QVariant open = connection.scalar(
        QStringLiteral("SELECT count(*) FROM [tillsessions] WHERE [Session] = ?1 AND [Closed] IS "
                       "NULL"),
        {money.session});
    if (open.toInt() != 1)
        throw refused(QStringLiteral("The till's session is closed: count the float to open one "
                                     "first."));
}

// Empties the order's deposit, in one change that finds it as it is now.
Money takeDepositOff(Connection &connection, qint64 orderNo) {
    const Money deposit = customerOrder(connection, orderNo).deposit;
    if (deposit > Money()) {
        Statement clear = connection.prepare(
            QStringLiteral("UPDATE [customerorders] SET [Deposit] = 0 WHERE [OrderNo] = ?1"));
        clear.bindAll({orderNo});
        clear.step();
    }
    return deposit;
}

} // namespace

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
    OrderTitle title{select.value(0).toLongLong(), select.value(1).toString(),
                     select.value(2).toString(),   select.value(3).toString(),
                     moneyOf(select.value(4)),     select.value(5).toLongLong(),
                     select.value(6).toLongLong()};
    select.step();
    return title;
}

CustomerOrder customerOrder(Connection &connection, qint64 orderNo) {
    Statement select = connection.prepare(QStringLiteral(
        "SELECT [OrderNo], [Customer], [Phone], [Email], [BOOKNO], [ISBN], [Title], [Qty], "
        "[Price], [Supplier], [Deposit], [Promised], [Notes], [State], [Requested], [Changed] "
        "FROM [customerorders] WHERE [OrderNo] = ?1"));
    select.bindAll({orderNo});
    if (!select.step())
        throw refused(QStringLiteral("There is no customer order %1 in this shop.").arg(orderNo));
    CustomerOrder order;
    order.orderNo = select.value(0).toLongLong();
    order.customer = select.value(1).toString();
    order.phone = select.value(2).toString();
    order.email = select.value(3).toString();
    order.bookNo = select.value(4).toLongLong();
    order.isbn = select.value(5).toString();
    order.title = select.value(6).toString();
    order.quantity = select.value(7).toLongLong();
    order.price = moneyOf(select.value(8));
    order.supplier = select.value(9).toString();
    order.deposit = moneyOf(select.value(10));
    if (!select.value(11).isNull())
        order.promised = QDate::fromString(select.value(11).toString().left(10), Qt::ISODate);
    order.notes = select.value(12).toString();
    order.state = orderstates::fromStored(select.value(13).toString()).value_or(order.state);
    order.requested = conv::parseMoment(select.value(14).toString());
    order.changed = conv::parseMoment(select.value(15).toString());
    select.step();
    return order;
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
                throw refused(QStringLiteral("The catalogue has no title with the ISBN %1: give "
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
        Statement history = connection.prepare(QStringLiteral(
            "INSERT INTO [orderhistory] ([OrderNo], [State], [ChangedAt], [Till], [Login]) "
            "VALUES (?1, ?2, ?3, ?4, ?5)"));
        history.bindAll({taken.orderNo, orderstates::stored(OrderState::Requested),
                         conv::isoMoment(order.at), thisTillName(connection),
                         connection.dialect().login(connection)});
        history.step();
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
        Statement hold = connection.prepare(QStringLiteral(
            "INSERT INTO [heldcopies] ([BOOKNO], [Held]) SELECT t.[BOOKNO], ?2 FROM [Titles] t "
            "WHERE t.[BOOKNO] = ?1 AND ?2 <= t.[Qty] ON CONFLICT ([BOOKNO]) DO UPDATE SET "
            "[Held] = [heldcopies].[Held] + excluded.[Held] WHERE [heldcopies].[Held] + "
            "excluded.[Held] <= (SELECT s.[Qty] FROM [Titles] s WHERE s.[BOOKNO] = "
            "excluded.[BOOKNO])"));
        hold.bindAll({order.bookNo, order.quantity});
        hold.step();
        if (connection.changes() != 1) {
            const OrderTitle copies = copiesOf(connection, order.bookNo);
            throw refused(
                QStringLiteral("Only %1 of \"%2\" free to set aside: customer order %3 "
                               "wants %4.")
                    .arg(copies.free() == 1
                             ? QStringLiteral("1 copy")
                             : QStringLiteral("%1 copies").arg(std::max<qint64>(copies.free(), 0)))
                    .arg(copies.title)
                    .arg(orderNo)
                    .arg(order.quantity));
        }
        Statement record = connection.prepare(
            QStringLiteral("INSERT INTO [orderholds] ([OrderNo], [BOOKNO], [Copies], [HeldAt]) "
                           "VALUES (?1, ?2, ?3, ?4)"));
        record.bindAll({orderNo, order.bookNo, order.quantity, conv::isoMoment(at)});
        record.step();
    });
}

Money collect(ShopSession &session, qint64 orderNo, const QString &receipt, const QDateTime &at,
              qint64 tillSession) {
    Money used;
    orderWork(session, [&](Connection &connection) {
        changeState(connection, orderNo, OrderState::Collected, at);
        releaseHold(connection, orderNo);
        used = takeDepositOff(connection, orderNo);
        if (used == Money())
            return;
        // Used by each method as it was taken by, so that each method's drawer gives it up.
        Statement taken = connection.prepare(
            QStringLiteral("SELECT [Method], sum([Amount]) FROM [orderdeposits] WHERE [OrderNo] = "
                           "?1 AND [Kind] = 'taken' GROUP BY [Method] ORDER BY [Method]"));
        taken.bindAll({orderNo});
        std::vector<std::pair<qint64, Money>> byMethod;
        while (taken.step())
            byMethod.emplace_back(taken.value(0).toLongLong(), moneyOf(taken.value(1)));
        for (const auto &[method, amount] : byMethod)
            recordDeposit(connection, QStringLiteral("used"),
                          {newId(), orderNo, tillSession, method, amount, at},
                          receipt.isEmpty() ? QVariant() : QVariant(receipt));
    });
    return used;
}

void cancel(ShopSession &session, qint64 orderNo, const QDateTime &at,
            const std::optional<DepositMoney> &refund) {
    orderWork(session, [&](Connection &connection) {
        changeState(connection, orderNo, OrderState::Cancelled, at);
        releaseHold(connection, orderNo);
        if (!refund)
            return; // a deposit stays on the order as the customer's credit
        DepositMoney back = *refund;
        back.orderNo = orderNo;
        back.amount = takeDepositOff(connection, orderNo);
        if (back.amount == Money())
            return;
        requireTill(connection, back);
        recordDeposit(connection, QStringLiteral("refunded"), back, QVariant());
    });
}

void takeDeposit(ShopSession &session, const DepositMoney &deposit) {
    if (deposit.amount <= Money())
        throw DataError(QStringLiteral("A deposit must be more than 0."));
    orderWork(session, [&](Connection &connection) {
        if (connection
                .scalar(QStringLiteral("SELECT count(*) FROM [orderdeposits] WHERE [Movement] = "
                                       "?1"),
                        {deposit.id})
                .toInt() > 0)
            return; // stored before
        requireTill(connection, deposit);
        const CustomerOrder order = customerOrder(connection, deposit.orderNo);
        if (orderstates::finished(order.state))
            throw refused(QStringLiteral("Customer order %1 is %2: it takes no deposit.")
                              .arg(order.orderNo)
                              .arg(orderstates::caption(order.state)));
        if (order.deposit + deposit.amount > order.total())
            throw refused(QStringLiteral("A deposit of %1 would bring the deposits on customer "
                                         "order %2 to more than its price of %3.")
                              .arg(deposit.amount.text())
                              .arg(order.orderNo)
                              .arg(order.total().text()));
        // Added to the deposit as stored now; the table refuses more than the price.
        Statement add = connection.prepare(
            QStringLiteral("UPDATE [customerorders] SET [Deposit] = [Deposit] + ?2 WHERE "
                           "[OrderNo] = ?1 AND [State] IN (%1)")
                .arg(openStates()));
        add.bindAll({deposit.orderNo, deposit.amount.toDouble()});
        add.step();
        if (connection.changes() != 1)
            throw refusedMove(connection, deposit.orderNo, OrderState::Collected);
        recordDeposit(connection, QStringLiteral("taken"), deposit, QVariant());
    });
}

} // namespace shop
