// Supplier bills checked against what was delivered: entering a bill shows the supplier's
// received copies not yet invoiced, and a bill whose amount differs from their cost by more
// than the shop's tolerance is held until the office approves it. The hold names its bill by
// all five of the bill's columns (bills have no key) and is written in the bill's own
// transaction; a held bill is not paid.
#pragma once

#include "money.h"
#include "shopoperations.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

class Connection;
class ShopSession;

// A delivery line of the supplier with copies not yet invoiced.
struct UninvoicedLine {
    qint64 entry = 0; // the delivery line
    qint64 delivery = 0;
    QDate received;
    QString isbn, title;
    qint64 copies = 0; // not yet invoiced
    Money cost;        // each copy's
};

struct InvoiceCheck {
    std::vector<UninvoicedLine> lines;
    Money expected; // the cost of those copies
    qint64 copies = 0;
};

struct CheckedInvoice {
    qint64 billRowid = 0;
    // The supplier is one the shop orders from through purchase orders: its bills are checked.
    bool checked = false;
    Money expected;
    bool nothingReceived = false; // the supplier had no copies waiting to be invoiced
    bool held = false;            // held for the office's approval
};

// A bill held and not yet approved, as the payment screens refuse it.
struct BillHold {
    qint64 hold = 0;
    Money expected;
    QString invoiceNo, supplier;
};

namespace shop {

// How far a bill may differ from the delivered copies' cost before it is held: the shop's
// setting, or 1 when it has none.
Money invoiceTolerance(Connection &connection);
void setInvoiceTolerance(ShopSession &session, const Money &tolerance);

InvoiceCheck invoiceCheck(Connection &connection, const QString &supplier);

// Records the invoice as recordInvoice does. When the shop orders from the supplier through
// purchase orders (it has an order or a delivery of the supplier), in the same transaction the
// supplier's received copies not yet invoiced count as invoiced by it, and the bill is held when
// its fee differs from their cost by more than the tolerance (an empty fee counts as 0). The
// bills of other suppliers are recorded as ever, unchecked.
CheckedInvoice recordCheckedInvoice(ShopSession &session, const Invoice &invoice,
                                    const QDateTime &at);

// The open bill's hold not yet approved; none when it is not held (or the shop has no holds).
std::optional<BillHold> billHold(Connection &connection, qint64 billRowid);
// The sentence a payment screen shows for a held bill.
QString heldBillMessage(const BillHold &hold);
// The office approves the held bill: it may be paid from now on. False when it was approved
// already (at another computer).
bool approveHold(ShopSession &session, qint64 hold, const QDateTime &at);

} // namespace shop
