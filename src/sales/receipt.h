// A customer's receipt as it is printed: the shop, the time, the lines of the customer's list,
// the total and the footer.
#pragma once

#include <QDateTime>
#include <QString>
#include <vector>

struct ReceiptLine {
    QString title;
    QString price; // the unit price charged
    bool onOffer = false;
    QString quantity;
    QString subtotal;
};

struct Receipt {
    QString shopName; // empty: no heading line
    QDateTime when;
    std::vector<ReceiptLine> lines;
    QString total;
    QString footer; // "Thank you", a return policy; empty: none
};
