// Receiving a supplier's delivery: the copies of each title go against the open orders of that
// supplier (or the one order named), oldest first; copies beyond what the orders still want and
// titles on no order are warned about and, once the operator accepts, received and recorded as
// such. The stock rises through the same change as New Purchase Quantity, and then the copies
// are set aside for the customer orders waiting for them, oldest first.
#pragma once

#include "money.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class Connection;
class ShopSession;

struct DeliveredCopies {
    qint64 bookNo = 0;
    qint64 copies = 0;
    std::optional<Money> cost; // each copy's; the order line's, or the title's purchase price
};

struct Delivery {
    QString supplier;
    qint64 orderNo = 0; // received against this order alone; 0: any open order of the supplier
    std::vector<DeliveredCopies> lines;
    QDateTime at;
    std::optional<QDate> returnBy; // the last day the supplier takes copies back
};

struct ReceivedDelivery {
    qint64 delivery = 0;
    qint64 extraCopies = 0;       // more than the orders wanted, or on no order
    std::vector<qint64> setAside; // customer orders whose copies were set aside
};

namespace shop {

// The copies typed, as a whole number of 1 or more; refused with a sentence otherwise.
qint64 copiesTyped(const QString &text);

// What the operator must accept before the delivery is received: a sentence for each title of
// which more copies came than its orders still want, or that is on no open order. Empty when
// the delivery matches its orders.
QStringList receivingWarnings(Connection &connection, const Delivery &delivery);

// Receives the delivery in one transaction. Without `warningsAccepted`, a delivery that would
// bring any warning now (another computer may have received the same order meanwhile) is
// refused with them and nothing is stored. Each copy of an order line is counted once, however
// many computers receive it at once.
ReceivedDelivery receive(ShopSession &session, const Delivery &delivery, bool warningsAccepted);

} // namespace shop
