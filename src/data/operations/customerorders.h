// Customer orders: a title the shop does not have, ordered for a customer, set aside when its
// copies arrive, the customer told, and collected; or cancelled, or abandoned. Each move is one
// conditional change of the order's state (from the states the move allows) and a line of its
// history, so that two tills making the same move at once cannot both succeed. Each operation
// runs in one transaction on the screen's session and throws DataError, and then nothing of it
// is stored.
#pragma once

#include "money.h"
#include "orderstates.h"
#include "shopsteps.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>
#include <string_view>
#include <vector>

class Connection;
class ShopSession;

namespace shop {

// The shop's version that has customer orders: the step that makes their table.
constexpr int versionMaking(std::string_view table) {
    for (const StepDescription &step : steps::all)
        for (const StepTable &made : step.tables)
            if (std::string_view(made.table->name) == table)
                return step.version;
    return 0;
}
inline constexpr int customerOrdersVersion = versionMaking("customerorders");

} // namespace shop

// A new order as the operator took it. The title is the catalogue's under any form of `isbn`;
// when the catalogue does not hold it, `title`, `author`, `publisher` and `price` describe it
// and it is added with no stock, a safe quantity of 0 and that price.
struct NewOrder {
    QString customer;
    QString phone;
    QString email;
    QString isbn;
    QString title;
    QString author;
    QString publisher;
    std::optional<Money> price; // the catalogue's sale price when none is given
    qint64 quantity = 1;
    QString supplier; // the title's supplier when none is given
    std::optional<QDate> promised;
    QString notes;
    // The operator was warned that the ISBN's check digit is wrong and kept it.
    bool keepWrongCheckDigit = false;
    QDateTime at;
};

struct TakenOrder {
    qint64 orderNo = 0;
    qint64 bookNo = 0;
    bool titleAdded = false;
};

// An order as the shop keeps it.
struct CustomerOrder {
    qint64 orderNo = 0;
    QString customer, phone, email;
    qint64 bookNo = 0;
    QString isbn, title;
    qint64 quantity = 0;
    Money price;   // each copy's
    Money deposit; // held on the order now
    OrderState state = OrderState::Requested;
    QDateTime requested, changed;
    Money total() const { return Money::fromUnits(price.units() * quantity); }
};

// Money of a deposit taken or given back at a till: once by its identifier (a UUID made on the
// till), by a payment method in the till's session.
struct DepositMoney {
    QString id;
    qint64 orderNo = 0;
    qint64 session = 0;
    qint64 method = 0;
    Money amount;
    QDateTime at;
};

// A title of the catalogue an order may be for.
struct OrderTitle {
    qint64 bookNo = 0;
    QString isbn, title, supplier;
    Money price;
    qint64 stock = 0;
    qint64 held = 0; // copies set aside for orders
    qint64 free() const { return stock - held; }
};

namespace shop {

// The catalogue's title under any form of the ISBN (as typed, or its ISBN-10 or ISBN-13 with
// or without separators); none when it holds no such title.
std::optional<OrderTitle> orderTitle(Connection &connection, const QString &isbn);
// The copies of a title in stock and set aside.
OrderTitle copiesOf(Connection &connection, qint64 bookNo);
CustomerOrder customerOrder(Connection &connection, qint64 orderNo);
// The deposit used at the order's collection, by the method each part was taken by.
std::vector<std::pair<qint64, Money>> depositsUsed(Connection &connection, qint64 orderNo);
// The day the order's copies were set aside; none when none are.
std::optional<QDate> setAsideOn(Connection &connection, qint64 orderNo);

// Refused with a sentence for the operator: no customer's name, a quantity of 0 or below, no
// ISBN, a wrong check digit not kept, a new title without its title or price.
TakenOrder takeOrder(ShopSession &session, const NewOrder &order);
// A move to `to` that sets nothing aside and moves no money: placing the order with its
// supplier, telling the customer (`how` then says how), cancelling or abandoning an order that
// holds no deposit. Its copies set aside go back to the free stock.
void moveOrder(ShopSession &session, qint64 orderNo, OrderState to, const QDateTime &at,
               std::optional<ToldBy> how = std::nullopt);
// Sets the order's copies aside from the free stock and marks it arrived. Refused when fewer
// copies are free than the order wants.
void setAside(ShopSession &session, qint64 orderNo, const QDateTime &at);
// The customer collected the order: its copies set aside go back (the sale rings them up) and
// its deposit leaves the order, used on `receipt` in the till's session `tillSession` (0: none)
// as a payment of the price by the methods it was taken by, which the drawer does not hold
// twice. Returns the deposit used.
Money collect(ShopSession &session, qint64 orderNo, const QString &receipt, const QDateTime &at,
              qint64 tillSession = 0);
// Cancels the order. A deposit it holds is given back as `refund` says (by a method in a
// session), or without `refund` stays on the order as the customer's credit.
void cancel(ShopSession &session, qint64 orderNo, const QDateTime &at,
            const std::optional<DepositMoney> &refund);
// A deposit taken at a till; refused when the order is finished or its deposits would come to
// more than its price. The same deposit sent again changes nothing.
void takeDeposit(ShopSession &session, const DepositMoney &deposit);

} // namespace shop
