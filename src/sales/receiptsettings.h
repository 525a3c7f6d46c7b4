// The receipt's settings in the per-user settings store: the shop's name, the footer line and
// the paper. Empty name and footer until the shop sets them.
#pragma once

#include "receiptprint.h"

#include <QString>

struct ReceiptSettings {
    QString shopName;
    QString footer;
    receipt::Paper paper = receipt::Paper::Roll80;

    static ReceiptSettings load();
    void save() const;
};
