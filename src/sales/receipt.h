// A customer's receipt as it is printed: the shop, the time, the lines of the customer's list,
// the total, who served and the footer.
#pragma once

#include "money.h"

#include <QDateTime>
#include <QString>
#include <vector>

struct ReceiptLine {
    QString title; // whole, however long
    Money price;   // the unit price charged
    bool onOffer = false;
    qint64 quantity = 0;
    Money subtotal;
};

struct Receipt {
    QString shopName; // empty: no heading line
    QDateTime when;
    std::vector<ReceiptLine> lines;
    Money total;
    QString currency; // the sign printed with each amount; empty: none
    QString servedBy; // empty: no "Served by" line
    QString footer;   // "Thank you", a return policy; empty: none
};
