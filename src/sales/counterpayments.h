// The selling screen's receipts and payments, when the shop takes payment at the counter:
// each booked line is stored on the customer's receipt, Pay (F12) takes payment, "Next
// Customer" on a receipt not paid asks whether to take payment now or keep it open, and the
// till's unpaid receipts (F11) can be taken up again. With payments off it does nothing, and
// the screen sells as it always has.
#pragma once

#include "counterreceipt.h"
#include "receipts.h"
#include "shopcontext.h"

#include <QObject>
#include <memory>
#include <optional>

class QPushButton;
class QLabel;
class ShopSession;

class CounterOffline;

class CounterPayments : public QObject {
    Q_OBJECT
public:
    // Reads the shop's payment settings, the till and the methods on the screen's session, or
    // takes them from what the till kept when the counter opened offline. While the shop's
    // server is away, receipts are kept on the till by `offline`.
    CounterPayments(QWidget *screen, const ShopContext &context,
                    std::shared_ptr<ShopSession> session, CounterOffline *offline);

    bool enabled() const { return settings_.paymentsOn; }
    // Pay, Unpaid Receipts and the receipt's number, for the screen to place; hidden when
    // payments are off.
    QPushButton *payButton() const { return pay_; }
    QPushButton *unpaidButton() const { return unpaid_; }
    QLabel *numberLabel() const { return number_; }

    // Stores the sale as the receipt's next line (a paid receipt is followed by a new one).
    // Throws DataError when it was not stored.
    void book(const SaleLine &sale, const QDate &day, const QTime &time);
    // Opens the payment window; true when the receipt is paid in full afterwards.
    bool takePayment();
    // Part of the receipt paid by a customer's deposit, by the method it was taken by: stored
    // at once; the receipt is paid when it settles the rest. Throws DataError.
    void payByDeposit(qint64 method, Money amount);
    // Before the screen starts a new customer: false when the operator chose to take payment
    // and the receipt is still not paid. A receipt kept open stays on the till's list.
    bool mayStartNext();
    void startNext();
    // Lists the till's unpaid receipts and takes up the one chosen.
    void chooseUnpaid();
    // Takes up a stored receipt; its lines go to the screen (linesShown).
    void reopen(const QString &id);

    const CounterReceipt &receipt() const { return receipt_; }
    bool receiptPaid() const { return receipt_.isPaid(); }
    // Reads the receipt's voided lines again after a void; the screen shows them taken back.
    void takeVoids();
    // The number, till and payments on the printed receipt.
    void fill(Receipt &receipt) const;

signals:
    // A receipt taken up again: the screen shows these lines and this total.
    void linesShown(const std::vector<ReceiptLine> &lines, Money total);

private:
    // True when the shop takes payment; else false, and on a shop too old for it the
    // operator reads that it must be upgraded first.
    bool usable();
    // Stores the receipt and takes in what was stored; when the store fails, reads the receipt
    // back before the error goes on, since the shop may hold parts whose answer the till never
    // heard (a connection cut after the commit), and the next part must be numbered after them.
    void storeOrReadBack(const ReceiptRecord &record);
    void readBack();
    // The receipt as the shop holds it becomes the counter's, its lines shown again.
    void takeUp(ReceiptRecord record, const StoredReceipt &stored);
    // The till the counter sells at, or a DataError saying how to register it.
    const Till &till();
    void showNumber();

    QWidget *screen_;
    ShopContext context_;
    std::shared_ptr<ShopSession> session_;
    PaymentSettings settings_;
    std::optional<Till> till_;
    std::vector<PaymentMethod> methods_;
    CounterReceipt receipt_;
    QPushButton *pay_ = nullptr;
    QPushButton *unpaid_ = nullptr;
    QLabel *number_ = nullptr;
    CounterOffline *offline_ = nullptr;
};
