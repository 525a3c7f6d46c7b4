// Cash paid into the till's drawer (change brought from the bank) or taken out of it (a
// payment to the window cleaner, takings to the safe): the amount and the reason, Enter to
// record it. It stays open, what was typed kept, when the shop does not take it.
#pragma once

#include "money.h"

#include <QDialog>
#include <functional>

class MessageBoxes;
class QLineEdit;

class CashMovementDialog : public QDialog {
    Q_OBJECT
public:
    // Records the movement; false when it was not recorded (the operator was told why).
    using Record = std::function<bool(Money amount, const QString &reason)>;

    CashMovementDialog(bool in, MessageBoxes &messages, Record record, QWidget *parent = nullptr);

    // "Record": checks the boxes and records the movement; true when it was recorded.
    bool recordMovement();
    QLineEdit *amountBox() const { return amount_; }
    QLineEdit *reasonBox() const { return reason_; }

private:
    bool in_;
    MessageBoxes &messages_;
    Record record_;
    QLineEdit *amount_;
    QLineEdit *reason_;
};
