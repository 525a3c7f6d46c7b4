// A customer's receipt as it is printed: the shop, the time, the lines of the customer's list,
// the total, its number, till and payments when the counter takes payment, who served and the
// footer.
#pragma once

#include "money.h"

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

struct ReceiptLine {
    QString title; // whole, however long
    Money price;   // the unit price charged
    bool onOffer = false;
    qint64 quantity = 0;
    Money subtotal;
};

struct ReceiptPayment {
    QString method;
    Money amount;   // what it paid of the receipt
    Money tendered; // handed over
    Money given;    // change
};

struct Receipt {
    QString shopName; // empty: no heading line
    QDateTime when;
    std::vector<ReceiptLine> lines;
    Money total;
    // With payments at the counter: the receipt's number and till, the cash rounding and the
    // payments. Empty: not printed.
    QString number;
    QString till;
    std::optional<Money> rounding;
    std::vector<ReceiptPayment> payments;
    QString currency; // the sign printed with each amount; empty: none
    QString servedBy; // empty: no "Served by" line
    QString footer;   // "Thank you", a return policy; empty: none
};
