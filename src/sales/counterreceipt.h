// The receipt being made at the counter: its identifier, lines and payments as the till keeps
// them, what the shop holds of it once stored (its number), and the sums a payment needs.
#pragma once

#include "receipt.h"
#include "receipts.h"
#include "shopoperations.h"
#include "tender.h"

#include <set>
#include <vector>

class CounterReceipt {
public:
    // A new receipt, opened now, under a new identifier.
    explicit CounterReceipt(const QDateTime &opened = {});
    // A stored receipt taken up again.
    CounterReceipt(ReceiptRecord record, const StoredReceipt &stored);

    const ReceiptRecord &record() const { return record_; }
    bool isEmpty() const { return record_.lines.empty(); }
    bool isPaid() const { return stored_.paid; }
    // Every line voided: nothing is left to pay or to sell on it.
    bool isVoided() const;
    // Paid, or voided whole: the next sale starts a new receipt.
    bool isDone() const { return isPaid() || isVoided(); }
    // The lines voided, as the shop holds them.
    const std::set<int> &voided() const { return voided_; }
    void setVoided(std::set<int> lines) { voided_ = std::move(lines); }
    // "A17" once stored; empty before.
    const QString &readable() const { return stored_.readable; }

    // The receipt as it would be with one more line, or one more payment (and the rounding
    // a payment that settles it in cash brings), to be stored before it is taken in.
    ReceiptRecord withLine(const SaleLine &sale, const QDate &day, const QTime &time) const;
    ReceiptRecord withPayment(qint64 method, const tender::Taken &parts, const QDateTime &at) const;
    // Takes in what was stored.
    void stored(const ReceiptRecord &record, const StoredReceipt &stored);

    Money total() const; // of the lines not voided
    Money paid() const;  // what the payments settle, the rounding taken off
    Money remaining() const;
    // The change given by the last payment.
    Money lastChange() const;

    // The lines as the customer's list shows them: each line sold, then a line that takes
    // back each one voided.
    std::vector<ReceiptLine> shownLines() const;
    // The number, till, payments and rounding as the printed receipt shows them.
    void fill(Receipt &receipt, const std::vector<PaymentMethod> &methods,
              const QString &till) const;

private:
    ReceiptRecord record_;
    StoredReceipt stored_;
    std::set<int> voided_;
};
