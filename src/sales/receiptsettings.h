// The receipt's settings in the per-user settings store: the shop's name, the footer line, the
// paper, the currency sign and who served. Empty name and footer until the shop sets them.
#pragma once

#include "receiptprint.h"

#include <QString>

struct ReceiptSettings {
    QString shopName;
    QString footer;
    receipt::Paper paper = receipt::Paper::Roll80;
    QString currency; // empty: the sign of the system's language
    QString servedBy; // empty: the name of the till's login
    bool printServedBy = true;

    static ReceiptSettings load();
    void save() const;
};
