// The counter's receipt: lines and payments kept until the shop has stored them.
#include "counterreceipt.h"

#include <QUuid>

CounterReceipt::CounterReceipt(const QDateTime &opened) {
    record_.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    record_.opened = opened;
}

CounterReceipt::CounterReceipt(ReceiptRecord record, const StoredReceipt &stored)
    : record_(std::move(record)), stored_(stored) {}

ReceiptRecord CounterReceipt::withLine(const SaleLine &sale, const QDate &day,
                                       const QTime &time) const {
    ReceiptRecord next = record_;
    if (next.lines.empty() && !next.opened.isValid())
        next.opened = QDateTime(day, time);
    next.lines.push_back({static_cast<int>(next.lines.size()) + 1, sale.bookNo, sale.isbn,
                          sale.title, sale.price, sale.quantity, day, time});
    return next;
}

ReceiptRecord CounterReceipt::withPayment(qint64 method, const tender::Taken &parts,
                                          const QDateTime &at) const {
    ReceiptRecord next = record_;
    next.payments.push_back({static_cast<int>(next.payments.size()) + 1, method, parts.amount,
                             parts.tendered, parts.given, at});
    if (parts.rounding && *parts.rounding != Money())
        next.rounding = parts.rounding;
    if (parts.settles)
        next.paidAt = at;
    return next;
}

void CounterReceipt::stored(const ReceiptRecord &record, const StoredReceipt &stored) {
    record_ = record;
    stored_ = stored;
}

bool CounterReceipt::isVoided() const {
    return !record_.lines.empty() && voided_.size() >= record_.lines.size();
}

Money CounterReceipt::total() const {
    Money sum;
    for (const ReceiptLineRecord &line : record_.lines)
        if (voided_.count(line.line) == 0)
            sum += line.price.times(line.quantity);
    return sum;
}

std::vector<ReceiptLine> CounterReceipt::shownLines() const {
    std::vector<ReceiptLine> lines;
    for (const ReceiptLineRecord &line : record_.lines)
        lines.push_back(
            {line.title, line.price, false, line.quantity, line.price.times(line.quantity)});
    for (const ReceiptLineRecord &line : record_.lines)
        if (voided_.count(line.line) != 0)
            lines.push_back({QStringLiteral("VOID ") + line.title, line.price, false,
                             -line.quantity, line.price.times(-line.quantity)});
    return lines;
}

Money CounterReceipt::paid() const {
    Money sum;
    for (const PaymentRecord &payment : record_.payments)
        sum += payment.amount;
    return Money::fromUnits(sum.units() - record_.rounding.value_or(Money()).units());
}

Money CounterReceipt::remaining() const {
    return Money::fromUnits(total().units() - paid().units());
}

Money CounterReceipt::lastChange() const {
    return record_.payments.empty() ? Money() : record_.payments.back().given;
}

void CounterReceipt::fill(Receipt &receipt, const std::vector<PaymentMethod> &methods,
                          const QString &till) const {
    receipt.number = stored_.readable;
    receipt.till = till;
    receipt.rounding = record_.rounding;
    receipt.payments.clear();
    for (const PaymentRecord &payment : record_.payments) {
        QString name = QStringLiteral("Payment");
        for (const PaymentMethod &method : methods)
            if (method.id == payment.method)
                name = method.name;
        receipt.payments.push_back({name, payment.amount, payment.tendered, payment.given});
    }
}
