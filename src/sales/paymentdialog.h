// Taking payment at the counter: the amount due large, a method (cash, card or one of the
// shop's others), how much this payment pays and, in cash, what was tendered; the change large
// once cash is taken. Payments are taken one after another until the receipt is paid in full;
// each is stored before it shows as taken.
#pragma once

#include "counterreceipt.h"
#include "receipts.h"

#include <QDialog>
#include <functional>

class Clock;
class MessageBoxes;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class PaymentDialog : public QDialog {
    Q_OBJECT
public:
    // Stores the receipt as it would be with the payment; false when it was not stored (the
    // operator was told why).
    using Store = std::function<bool(const ReceiptRecord &)>;

    PaymentDialog(CounterReceipt &receipt, std::vector<PaymentMethod> methods,
                  CashRounding rounding, MessageBoxes &messages, const Clock &clock, Store store,
                  QWidget *parent = nullptr);

    // "Take": checks and stores the payment typed; true when it was taken.
    bool take();
    void chooseMethod(int index);
    QLineEdit *amountBox() const { return amount_; }
    QLineEdit *tenderedBox() const { return tendered_; }
    QString changeText() const;
    QString dueText() const;

private:
    void showState();
    const PaymentMethod &method() const;

    CounterReceipt &receipt_;
    std::vector<PaymentMethod> methods_;
    CashRounding rounding_;
    MessageBoxes &messages_;
    const Clock &clock_;
    Store store_;
    QLabel *total_ = nullptr;
    QLabel *due_ = nullptr;
    QLabel *change_ = nullptr;
    QComboBox *method_ = nullptr;
    QLineEdit *amount_ = nullptr;
    QLineEdit *tendered_ = nullptr;
    QPushButton *take_ = nullptr;
    QPushButton *done_ = nullptr;
};
