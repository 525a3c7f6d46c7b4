// Closing a till's session: the operator counts what the drawer holds of each payment method
// (the cash, the card machine's end-of-day slip, the vouchers) without being shown what it
// should hold. Enter goes from one count to the next and, after the last, closes the session.
// A count that is not an amount is refused and stays in its box; so do the counts when the
// shop refuses the closing.
#pragma once

#include "receipts.h"
#include "tillrecords.h"

#include <QDialog>
#include <functional>
#include <vector>

class MessageBoxes;
class QLineEdit;

class BlindCountDialog : public QDialog {
    Q_OBJECT
public:
    // Closes the session with the counts; false when it was not closed (the operator was
    // told why).
    using Close = std::function<bool(const std::vector<CountedAmount> &)>;

    BlindCountDialog(const QString &session, std::vector<PaymentMethod> methods,
                     MessageBoxes &messages, Close close, QWidget *parent = nullptr);

    // "Close Session": reads every count and closes; true when the session was closed.
    bool closeSession();
    // The box of the method at this position (cash first).
    QLineEdit *countBox(std::size_t index) const { return boxes_.at(index); }
    std::size_t methodCount() const { return methods_.size(); }

private:
    void next(std::size_t index);

    std::vector<PaymentMethod> methods_;
    MessageBoxes &messages_;
    Close close_;
    std::vector<QLineEdit *> boxes_;
};
