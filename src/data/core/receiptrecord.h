// A receipt as its till makes it (identifier, lines, payments, rounding), which one operation
// stores whole or partly stored before, and what the shop answers once it is stored.
#pragma once

#include "money.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <optional>
#include <vector>

struct ReceiptLineRecord {
    int line = 0;      // 1, 2, ... within the receipt
    qint64 bookNo = 0; // the Titles row sold
    QString isbn;
    QString title;
    Money price; // the unit price charged
    qint64 quantity = 0;
    QDate day;
    QTime time;
};

enum class MethodKind { Cash, Card, Other };

struct PaymentRecord {
    int payment = 0; // 1, 2, ... within the receipt
    qint64 method = 0;
    Money amount;   // what it settles of the receipt: the cash kept
    Money tendered; // what the customer handed over
    Money given;    // the change given back (cash only)
    QDateTime at;
};

struct ReceiptRecord {
    QString id; // a UUID made on the till, lower case with hyphens
    QDateTime opened;
    std::vector<ReceiptLineRecord> lines;
    std::vector<PaymentRecord> payments;
    // Cash paid less the exact amount it settled, in a shop that rounds cash; none: none.
    std::optional<Money> rounding;
    QDateTime paidAt; // when it is paid in full, if these payments do it
};

// What the shop holds of a receipt once it is stored.
struct StoredReceipt {
    qint64 number = 0;
    QString readable; // the till's prefix and the number: "A17"
    bool paid = false;
};
