// Take Deposit: the amount a customer pays towards an order and the payment method, taken into
// the drawer of this till's open session.
#pragma once

#include "money.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLineEdit;
struct PaymentMethod;

class DepositDialog : public QDialog {
    Q_OBJECT
public:
    DepositDialog(const QString &question, const std::vector<PaymentMethod> &methods,
                  QWidget *parent = nullptr);
    QLineEdit *amountBox() const { return amount_; }
    // The amount typed, when it reads as money.
    std::optional<Money> amount() const;
    qint64 method() const;

private:
    QLineEdit *amount_;
    QComboBox *methods_;
};
