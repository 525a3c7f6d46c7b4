// A receipt stored in a shop file, each part at most once by its unique key: INSERT ... ON
// CONFLICT DO NOTHING, and the sale row and stock change only for a line that went in. A part
// already stored under its key must be the one sent: a till that missed the answer to a store
// would otherwise number a different part alike, and the shop would drop it unseen.
#include "filetill.h"

#include "connection.h"
#include "conversions.h"
#include "dataerror.h"
#include "systemuser.h"

namespace filetill {

namespace {

// The first row of a query about one stored part, or an empty list when there is none.
QVariantList storedPart(Connection &connection, const QString &sql, const QString &id, int key,
                        int columns) {
    Statement select = connection.prepare(sql);
    select.bindAll({id, key});
    QVariantList row;
    if (select.step())
        for (int c = 0; c < columns; ++c)
            row << select.value(c);
    return row;
}

DataError storedOtherwise(const QString &part, const QString &readable, const QString &as) {
    return refused(QStringLiteral("the %1 of the receipt %2 was stored already as %3; the "
                                  "receipt is read again from the shop")
                       .arg(part, readable, as));
}

// Whether the shop is of the version with till sessions and voids.
bool hasSessions(Connection &connection) {
    return connection
        .scalar(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = "
                               "'receiptsessions'"))
        .isValid();
}

// A new receipt is sold in the till's open session, which a till with payments on must have.
void joinSession(Connection &connection, const QString &id, qint64 till) {
    const int joined = connection.write(
        QStringLiteral(
            "INSERT INTO [receiptsessions] ([Receipt], [Session]) SELECT ?1, [Session] FROM "
            "[tillsessions] WHERE [Till] = ?2 AND [Closed] IS NULL"),
        {id, till});
    if (joined == 0 && paymentsOn(connection))
        throw refused(QStringLiteral("the till has no open session: count the float to open one"));
}

struct Header {
    qint64 till = 0;
    qint64 number = 0;
    QString readable;
    bool paid = false;
};

// The header: numbered by the till when the receipt is new, in this transaction, so that a
// number is taken by a stored receipt or by none.
Header storeHeader(Connection &connection, const ReceiptRecord &receipt) {
    Statement till =
        connection.prepare(QStringLiteral("SELECT [Till], [Prefix] FROM [tills] ORDER BY [Till] "
                                          "LIMIT 1"));
    if (!till.step())
        throw refused(QStringLiteral("the shop has no till: register one under Tills"));
    const qint64 tillNo = till.value(0).toLongLong();
    const QString prefix = till.value(1).toString();
    till.step();
    Statement next = connection.prepare(QStringLiteral(
        "UPDATE [tills] SET [NextNumber] = [NextNumber] + 1 WHERE [Till] = ?1 AND NOT EXISTS "
        "(SELECT 1 FROM [receipts] WHERE [Receipt] = ?2) RETURNING [NextNumber] - 1"));
    next.bindAll({tillNo, receipt.id});
    if (next.step()) {
        const qint64 number = next.value(0).toLongLong();
        next.step();
        const int added = connection.write(
            QStringLiteral("INSERT INTO [receipts] ([Receipt], [Till], [Number], [Readable], "
                           "[Opened], [Login]) VALUES (?1, ?2, ?3, ?4, ?5, ?6) "
                           "ON CONFLICT ([Receipt]) DO NOTHING"),
            {receipt.id, tillNo, number, prefix + QString::number(number),
             conv::isoMoment(receipt.opened), systemUser()});
        if (added != 1)
            throw DataError(DataError::Kind::Conflict,
                            QStringLiteral("the receipt was being stored at the same moment; "
                                           "store it again"));
        if (hasSessions(connection))
            joinSession(connection, receipt.id, tillNo);
    }
    Statement stored = connection.prepare(QStringLiteral(
        "SELECT [Till], [Number], [Readable], [Paid] FROM [receipts] WHERE [Receipt] = ?1"));
    stored.bindAll({receipt.id});
    if (!stored.step())
        throw refused(QStringLiteral("the receipt could not be numbered"));
    Header header{stored.value(0).toLongLong(), stored.value(1).toLongLong(),
                  stored.value(2).toString(), !stored.value(3).isNull()};
    stored.step();
    if (header.till != tillNo)
        throw refused(QStringLiteral("the receipt %1 is another till's").arg(header.readable));
    return header;
}

void storeLine(Connection &connection, const QString &id, const Header &header,
               const ReceiptLineRecord &line) {
    const QString day = conv::isoDate(line.day), time = conv::timeText(line.time);
    const int added = connection.write(
        QStringLiteral(
            "INSERT INTO [receiptlines] ([Receipt], [Line], [BOOKNO], [ISBN], [Title], [Price], "
            "[Qty], [SoldDate], [SoldTime]) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9) "
            "ON CONFLICT ([Receipt], [Line]) DO NOTHING"),
        {id, line.line, line.bookNo, line.isbn, line.title, line.price.toDouble(), line.quantity,
         day, time});
    if (added != 1) { // stored before, with its sale: the same line or refused
        const QVariantList row = storedPart(
            connection,
            QStringLiteral("SELECT [BOOKNO], [Price], [Qty] FROM [receiptlines] WHERE [Receipt] = "
                           "?1 AND [Line] = ?2"),
            id, line.line, 3);
        const qint64 bookNo = row.value(0).toLongLong(), quantity = row.value(2).toLongLong();
        const Money price = Money::orZero(row.value(1));
        if (bookNo != line.bookNo || price != line.price || quantity != line.quantity)
            throw storedOtherwise(
                QStringLiteral("line %1").arg(line.line), header.readable,
                QStringLiteral("%1 of BOOKNO %2 at %3")
                    .arg(QString::number(quantity), QString::number(bookNo), price.text()));
        return;
    }
    if (header.paid)
        throw refused(QStringLiteral("the receipt %1 is paid: a line is added to a new receipt")
                          .arg(header.readable));
    if (line.quantity <= 0)
        throw refused(QStringLiteral("a line of a receipt sells at least one copy"));
    const int taken = connection.write(
        QStringLiteral("UPDATE [Titles] SET [Qty] = [Qty] - ?1 WHERE [BOOKNO] = ?2"),
        {line.quantity, line.bookNo});
    if (taken != 1)
        throw refused(QStringLiteral("the title \"%1\" is no longer in the catalogue (it was "
                                     "deleted after it was looked up)")
                          .arg(line.title));
    connection.write(
        QStringLiteral(
            "INSERT INTO [soldbook] ([SoldDate], [SoldTime], [ISBN], [Title], [price], [Qty]) "
            "VALUES (?1, ?2, ?3, ?4, ?5, ?6)"),
        {day, time, line.isbn, line.title, line.price.toDouble(), line.quantity});
}

void storePayment(Connection &connection, const QString &id, const Header &header,
                  const PaymentRecord &payment) {
    const int added = connection.write(
        QStringLiteral(
            "INSERT INTO [payments] ([Receipt], [Payment], [Method], [Amount], [Tendered], "
            "[Given], [PaidAt]) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7) "
            "ON CONFLICT ([Receipt], [Payment]) DO NOTHING"),
        {id, payment.payment, payment.method, payment.amount.toDouble(),
         payment.tendered.toDouble(), payment.given.toDouble(), conv::isoMoment(payment.at)});
    if (added != 1) { // stored before: the same payment or refused
        const QVariantList row = storedPart(
            connection,
            QStringLiteral("SELECT [Method], [Amount], [Tendered], [Given] FROM [payments] WHERE "
                           "[Receipt] = ?1 AND [Payment] = ?2"),
            id, payment.payment, 4);
        const qint64 method = row.value(0).toLongLong();
        const Money amount = Money::orZero(row.value(1)), tendered = Money::orZero(row.value(2)),
                    given = Money::orZero(row.value(3));
        if (method != payment.method || amount != payment.amount || tendered != payment.tendered ||
            given != payment.given)
            throw storedOtherwise(
                QStringLiteral("payment %1").arg(payment.payment), header.readable,
                QStringLiteral("%1 by method %2 (tendered %3, change %4)")
                    .arg(amount.text(), QString::number(method), tendered.text(), given.text()));
        return;
    }
    Statement method = connection.prepare(
        QStringLiteral("SELECT [Kind], [Removed] FROM [paymentmethods] WHERE [Method] = ?1"));
    method.bindAll({payment.method});
    if (!method.step() || method.value(1).toLongLong() != 0)
        throw refused(QStringLiteral("the payment method %1 is not in use").arg(payment.method));
    if (method.value(0).toString() != QLatin1String("cash") && payment.given != Money())
        throw refused(QStringLiteral("only cash is given change"));
    method.step();
}

void storeRounding(Connection &connection, const QString &id, Money rounding) {
    const int added = connection.write(
        QStringLiteral("INSERT INTO [receiptrounding] ([Receipt], [Amount]) VALUES (?1, ?2) "
                       "ON CONFLICT ([Receipt]) DO NOTHING"),
        {id, rounding.toDouble()});
    if (added != 1)
        return;
    const QString rounds = connection
                               .scalar(QStringLiteral("SELECT [Value] FROM [shopsettings] WHERE "
                                                      "[Setting] = 'CashRounding'"))
                               .toString();
    if (rounds != QLatin1String("0.05") && rounds != QLatin1String("0.10"))
        throw refused(QStringLiteral("the shop does not round cash"));
}

} // namespace

StoredReceipt FileDialect::storeReceipt(Connection &connection,
                                        const ReceiptRecord &receipt) const {
    Header header = storeHeader(connection, receipt);
    for (const ReceiptLineRecord &line : receipt.lines)
        storeLine(connection, receipt.id, header, line);
    for (const PaymentRecord &payment : receipt.payments)
        storePayment(connection, receipt.id, header, payment);
    if (receipt.rounding)
        storeRounding(connection, receipt.id, *receipt.rounding);
    // A voided line is not paid for.
    const auto [settled, total] = settledAndDue(connection, receipt.id, hasSessions(connection));
    if (settled > total)
        throw refused(QStringLiteral("the payments (%1) come to more than the receipt's total "
                                     "(%2)")
                          .arg(settled.text(), total.text()));
    if (settled == total && total > Money() && !header.paid) {
        const QDateTime when = receipt.paidAt.isValid() ? receipt.paidAt : receipt.opened;
        connection.write(
            QStringLiteral(
                "UPDATE [receipts] SET [Paid] = ?1 WHERE [Receipt] = ?2 AND [Paid] IS NULL"),
            {conv::isoMoment(when), receipt.id});
        header.paid = true;
    }
    return {header.number, header.readable, header.paid};
}

} // namespace filetill
