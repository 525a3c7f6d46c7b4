// Purchase orders to suppliers: made as drafts (from the reorder suggestions or by hand), sent,
// received in one or more deliveries, closed; a line's outstanding copies may be cancelled.
// Each move is one conditional change of the order's state from the states it allows, so that
// two computers making the same move at once cannot both succeed. Orders name their supplier by
// its text, as bills do.
#pragma once

#include "customerorders.h"
#include "money.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class Connection;
class ShopSession;

namespace shop {

// The shop's version that has purchase orders: the step that makes their table.
inline constexpr int purchaseOrdersVersion = versionMaking("purchaseorders");

} // namespace shop

enum class PurchaseState { Draft, Sent, PartlyReceived, Received, Closed };

// A line as the operator put it on a new order.
struct NewPurchaseLine {
    qint64 bookNo = 0;
    qint64 quantity = 0;
    std::optional<Money> cost; // the title's purchase price when none is given
    qint64 customerOrder = 0;  // the customer order the copies are for; 0: none
};

struct PurchaseLine {
    qint64 line = 0;
    qint64 ordered = 0, cancelled = 0;
    Money cost;
};

struct PurchaseOrder {
    qint64 orderNo = 0;
    QString supplier;
    PurchaseState state = PurchaseState::Draft;
    QDateTime created;
    std::vector<PurchaseLine> lines;
    Money total() const; // the cost of the copies ordered and not cancelled
};

namespace purchasestates {
// As the shop's tables keep them ("partly received"), and back; the operator reads the same.
QString stored(PurchaseState state);
std::optional<PurchaseState> fromStored(const QString &text);
// Sent and partly received orders wait for deliveries; drafts are still being written.
bool open(PurchaseState state);
} // namespace purchasestates

namespace shop {

// A draft order of these lines. Refused with a sentence: no supplier, no lines, a quantity
// below 1, a cost below 0, a title no longer in the catalogue.
qint64 createPurchaseOrder(ShopSession &session, const QString &supplier,
                           const std::vector<NewPurchaseLine> &lines, const QDateTime &at);
// Refused with a sentence as createPurchaseOrder refuses; nothing else.
void requireGoodOrder(const QString &supplier, const std::vector<NewPurchaseLine> &lines);
// Within a transaction: the draft written, its number returned (lines checked first).
qint64 writePurchaseOrder(Connection &connection, const QString &supplier,
                          const std::vector<NewPurchaseLine> &lines, const QDateTime &at);
// The draft goes to the supplier: it becomes sent, and the customer orders its lines carry
// become ordered.
void sendPurchaseOrder(ShopSession &session, qint64 orderNo, const QDateTime &at);
// The line's copies still to come will not come: they are cancelled, and the order is received
// when nothing else is to come.
void cancelPurchaseLine(ShopSession &session, qint64 line, const QDateTime &at);
// Nothing more is expected on the order, whatever is still to come.
void closePurchaseOrder(ShopSession &session, qint64 orderNo, const QDateTime &at);

PurchaseOrder purchaseOrder(Connection &connection, qint64 orderNo);
// Orders newest first, without their lines: all, or those of one supplier; open ones only
// (draft, sent, partly received) when asked.
std::vector<PurchaseOrder> purchaseOrders(Connection &connection, const QString &supplier = {},
                                          bool unfinishedOnly = false);

// What is open under a supplier's name: orders not finished (draft, sent, partly received) and
// bills held for approval. Both 0 in a shop older than purchase orders.
struct SupplierUse {
    qint64 openOrders = 0;
    qint64 heldBills = 0;
};
SupplierUse supplierUse(Connection &connection, const QString &supplier);

// The suppliers the shop knows: its supplier table's names and those its titles name, sorted.
QStringList supplierNames(Connection &connection);

// Within a transaction: the order's state as its lines say after a delivery or a cancelled
// line (received when nothing is to come, else partly received), if it is sent or partly
// received.
void settleOrderState(Connection &connection, qint64 orderNo, const QDateTime &at);

} // namespace shop
