// Held Bills (frmHeldBills): the supplier bills held because their amount differs from the
// cost of what was delivered by more than the shop's tolerance, with the cost expected, and
// those approved since. The office approves a bill here, after which it can be paid; the shop's
// tolerance is set here too.
#pragma once

#include "shopscreen.h"

#include <optional>

class QLineEdit;
class RecordSource;

class HeldBillsScreen : public ShopScreen {
    Q_OBJECT
public:
    explicit HeldBillsScreen(const ShopContext &context, QWidget *parent = nullptr);

    void approve();
    void saveTolerance();
    void refresh();

    std::optional<qint64> chosenHold() const;

private:
    RecordSource *holds_;
    QLineEdit *tolerance_;
};
