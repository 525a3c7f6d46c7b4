// What a till makes of its session's work, each under an identifier of its own where it may be
// sent again (a UUID, as a receipt's): the opening of a session, cash paid in or taken out,
// a refund, a void, the closing count. One operation stores each (the dialect's), whole or
// not at all, and a second store of the same identifier changes nothing.
#pragma once

#include "money.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <optional>
#include <vector>

// Opens the session of the till this connection sells at, with the float counted into its
// drawer.
struct SessionOpening {
    Money openingFloat;
    QDateTime at;
};

// Cash put into the drawer (in) or taken out of it (out) during a session.
struct CashMovementRecord {
    QString id; // a UUID made on the till
    qint64 session = 0;
    bool in = true;
    Money amount; // more than 0
    QString reason;
    QDateTime at;
};

// One counted amount of the closing: what the drawer (or the card machine's slip) holds of
// one payment method.
struct CountedAmount {
    qint64 method = 0;
    Money counted;
};

struct SessionClosing {
    qint64 session = 0;
    std::vector<CountedAmount> counted; // a method in use that is not here counts as 0
    QDateTime at;
};

// A line of a refund. With a receipt, `receiptLine` names its line and the price, title and
// BOOKNO are the line's as stored (what the till sends of them is not used); without one,
// `receiptLine` is 0 and the line is the title at `price`, no more than its counter price.
struct RefundLineRecord {
    int line = 0;        // 1, 2, ... within the refund
    int receiptLine = 0; // the receipt's line, or 0 for a refund without a receipt
    qint64 bookNo = 0;
    QString isbn;
    QString title;
    Money price;          // each copy's price given back
    qint64 quantity = 0;  // copies taken back, at least 1
    bool damaged = false; // not put back into stock
};

struct RefundRecord {
    QString id;      // a UUID made on the till
    QString receipt; // the receipt's identifier, or empty for a refund by ISBN
    QString reason;  // a reason of the shop's list
    // The method the money goes out by; none when the shop's counter takes no payment (then
    // nothing goes out of a drawer and no session is named).
    std::optional<qint64> method;
    QDateTime at;
    std::vector<RefundLineRecord> lines;
};

// What the shop holds of a stored refund.
struct StoredRefund {
    Money amount;       // the money given back: each line's price times its copies
    qint64 session = 0; // the session it was given back in; 0 with payments off
};

// A void of one line of a receipt not yet paid (`line` its number), or of the whole receipt
// (`line` 0: every line not voided yet).
struct VoidRecord {
    QString id; // a UUID made on the till
    QString receipt;
    int line = 0;
    QString reason;
    QDateTime at;
};
