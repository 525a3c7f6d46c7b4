// Refunds and voids in a shop file, each stored once by its identifier (INSERT ... ON CONFLICT
// DO NOTHING: a refund or void sent again changes nothing). The copies a receipt's line gives
// back are counted by one conditional change of linesback, never more than were sold.
#include "filetill.h"

#include "connection.h"
#include "conversions.h"
#include "systemuser.h"

namespace filetill {

namespace {

struct ReceiptHeader {
    QString readable;
    bool paid = false;
};

ReceiptHeader receiptHeader(Connection &connection, const QString &receipt) {
    Statement select = connection.prepare(
        QStringLiteral("SELECT [Readable], [Paid] FROM [receipts] WHERE [Receipt] = ?1"));
    select.bindAll({receipt});
    if (!select.step())
        throw refused(QStringLiteral("the receipt is not in this shop"));
    ReceiptHeader header{select.value(0).toString(), !select.value(1).isNull()};
    select.step();
    return header;
}

struct StoredLine {
    qint64 bookNo = 0;
    QString isbn;
    QString title;
    Money price;
    qint64 quantity = 0;
};

std::optional<StoredLine> receiptLine(Connection &connection, const QString &receipt, int line) {
    Statement select = connection.prepare(
        QStringLiteral("SELECT [BOOKNO], [ISBN], [Title], [Price], [Qty] FROM [receiptlines] "
                       "WHERE [Receipt] = ?1 AND [Line] = ?2"));
    select.bindAll({receipt, line});
    if (!select.step())
        return std::nullopt;
    StoredLine stored{select.value(0).toLongLong(), select.value(1).toString(),
                      select.value(2).toString(), Money::orZero(select.value(3)),
                      select.value(4).toLongLong()};
    select.step();
    return stored;
}

// Takes `copies` of the line back, if that many are left of it: one statement, which finds
// the line's count as another till's change left it. False when fewer are left.
bool takeBack(Connection &connection, const QString &receipt, int line, qint64 copies) {
    const int taken = connection.write(
        QStringLiteral(
            "INSERT INTO [linesback] ([Receipt], [Line], [Sold], [Back]) SELECT [Receipt], "
            "[Line], [Qty], ?3 FROM [receiptlines] WHERE [Receipt] = ?1 AND [Line] = ?2 AND "
            "?3 <= [Qty] ON CONFLICT ([Receipt], [Line]) DO UPDATE SET [Back] = [Back] + "
            "excluded.[Back] WHERE [Back] + excluded.[Back] <= [Sold]"),
        {receipt, line, copies});
    return taken == 1;
}

qint64 copiesBack(Connection &connection, const QString &receipt, int line) {
    return connection
        .scalar(QStringLiteral("SELECT [Back] FROM [linesback] WHERE [Receipt] = ?1 AND [Line] = "
                               "?2"),
                {receipt, line})
        .toLongLong();
}

// The copies come back into stock (when the title is still in the catalogue) and the sale
// is offset by a row of the negative quantity at the same price.
void offsetSale(Connection &connection, qint64 bookNo, const QString &isbn, const QString &title,
                Money price, qint64 copies, bool restock, const QDateTime &at) {
    if (restock) {
        connection.write(
            QStringLiteral("UPDATE [Titles] SET [Qty] = [Qty] + ?1 WHERE [BOOKNO] = ?2"),
            {copies, bookNo});
    }
    connection.write(
        QStringLiteral(
            "INSERT INTO [soldbook] ([SoldDate], [SoldTime], [ISBN], [Title], [price], [Qty]) "
            "VALUES (?1, ?2, ?3, ?4, ?5, ?6)"),
        {conv::isoDate(at.date()), conv::timeText(at.time()), isbn, title, price.toDouble(),
         -copies});
}

} // namespace

std::pair<Money, Money> settledAndDue(Connection &connection, const QString &receipt, bool voids) {
    Money settled, due;
    Statement payments = connection.prepare(QStringLiteral(
        "SELECT [Amount] FROM [payments] WHERE [Receipt] = ?1 UNION ALL SELECT -[Amount] FROM "
        "[receiptrounding] WHERE [Receipt] = ?1"));
    payments.bindAll({receipt});
    while (payments.step())
        settled += Money::orZero(payments.value(0));
    Statement lines = connection.prepare(
        QStringLiteral("SELECT l.[Price], l.[Qty] FROM [receiptlines] l WHERE l.[Receipt] = ?1 %1")
            .arg(voids ? QStringLiteral("AND NOT EXISTS (SELECT 1 FROM [voidlines] w WHERE "
                                        "w.[Receipt] = l.[Receipt] AND w.[Line] = l.[Line])")
                       : QString()));
    lines.bindAll({receipt});
    while (lines.step())
        due += Money::orZero(lines.value(0)).times(lines.value(1).toLongLong());
    return {settled, due};
}

StoredRefund FileDialect::storeRefund(Connection &connection, const RefundRecord &refund) const {
    {
        Statement stored = connection.prepare(
            QStringLiteral("SELECT [Amount], [Session] FROM [refunds] WHERE [Refund] = ?1"));
        stored.bindAll({refund.id});
        if (stored.step()) // stored before: the same refund sent again
            return {Money::orZero(stored.value(0)), stored.value(1).toLongLong()};
    }
    if (!connection
             .scalar(QStringLiteral("SELECT 1 FROM [refundreasons] WHERE [Name] = ?1 AND "
                                    "[Removed] = 0"),
                     {refund.reason})
             .isValid())
        throw refused(QStringLiteral("the reason \"%1\" is not in the shop's list of refund "
                                     "reasons")
                          .arg(refund.reason));
    if (refund.lines.empty())
        throw refused(QStringLiteral("a refund takes back at least one copy"));
    StoredRefund stored;
    if (paymentsOn(connection)) {
        if (!refund.method)
            throw refused(QStringLiteral("choose the payment method the money goes back by"));
        const auto session = openSessionOf(connection, filetill::thisTill(connection));
        if (!session)
            throw refused(QStringLiteral("the till has no open session: count the float to "
                                         "open one before refunding"));
        if (!connection
                 .scalar(QStringLiteral("SELECT 1 FROM [paymentmethods] WHERE [Method] = ?1 AND "
                                        "[Removed] = 0"),
                         {*refund.method})
                 .isValid())
            throw refused(
                QStringLiteral("the payment method %1 is not in use").arg(*refund.method));
        stored.session = *session;
    } else if (refund.method) {
        throw refused(QStringLiteral("the counter takes no payment: no money goes back by a "
                                     "method"));
    }
    std::optional<ReceiptHeader> receipt;
    if (!refund.receipt.isEmpty()) {
        receipt = receiptHeader(connection, refund.receipt);
        if (!receipt->paid)
            throw refused(QStringLiteral("the receipt %1 is not paid: void its lines instead")
                              .arg(receipt->readable));
    }
    connection.write(
        QStringLiteral(
            "INSERT INTO [refunds] ([Refund], [Session], [Receipt], [Reason], [Method], [Amount], "
            "[RefundedAt], [Login]) VALUES (?1, ?2, ?3, ?4, ?5, 0, ?6, ?7)"),
        {refund.id, stored.session != 0 ? QVariant(stored.session) : QVariant(),
         refund.receipt.isEmpty() ? QVariant() : QVariant(refund.receipt), refund.reason,
         refund.method ? QVariant(*refund.method) : QVariant(), conv::isoMoment(refund.at),
         systemUser()});
    Statement insert = connection.prepare(QStringLiteral(
        "INSERT INTO [refundlines] ([Refund], [Line], [ReceiptLine], [BOOKNO], [ISBN], [Title], "
        "[Price], [Qty], [Damaged], [SoldDate], [SoldTime]) VALUES (?1, ?2, ?3, ?4, ?5, ?6, "
        "?7, ?8, ?9, ?10, ?11)"));
    for (const RefundLineRecord &line : refund.lines) {
        if (line.quantity < 1)
            throw refused(QStringLiteral("a line of a refund takes back at least one copy"));
        StoredLine taken{line.bookNo, line.isbn, line.title, line.price, line.quantity};
        bool restock = !line.damaged;
        if (receipt) {
            const auto sold = receiptLine(connection, refund.receipt, line.receiptLine);
            if (!sold)
                throw refused(QStringLiteral("the receipt %1 has no line %2")
                                  .arg(receipt->readable)
                                  .arg(line.receiptLine));
            taken = {sold->bookNo, sold->isbn, sold->title, sold->price, line.quantity};
            if (!takeBack(connection, refund.receipt, line.receiptLine, line.quantity)) {
                const qint64 back = copiesBack(connection, refund.receipt, line.receiptLine);
                throw refused(QStringLiteral("only %1 of line %2 (%3) is left to refund: %4 sold, "
                                             "%5 taken back before")
                                  .arg(sold->quantity - back)
                                  .arg(line.receiptLine)
                                  .arg(sold->title)
                                  .arg(sold->quantity)
                                  .arg(back));
            }
        } else {
            if (line.receiptLine != 0)
                throw refused(QStringLiteral("a refund without a receipt names no receipt line"));
            const QVariant counter = connection.scalar(
                QStringLiteral("SELECT [Sale Price] FROM [Titles] WHERE [BOOKNO] = ?1"),
                {line.bookNo});
            if (!counter.isValid())
                throw refused(QStringLiteral("the title \"%1\" is no longer in the catalogue")
                                  .arg(line.title));
            const Money most = Money::orZero(counter);
            if (line.price > most)
                throw refused(QStringLiteral("the price of \"%1\" cannot be raised above its "
                                             "counter price %2")
                                  .arg(line.title, most.text()));
            if (line.price < Money())
                throw refused(QStringLiteral("a refund's price cannot be below 0"));
        }
        offsetSale(connection, taken.bookNo, taken.isbn, taken.title, taken.price, taken.quantity,
                   restock, refund.at);
        insert.run({refund.id, line.line, receipt ? QVariant(line.receiptLine) : QVariant(),
                    taken.bookNo, taken.isbn, taken.title, taken.price.toDouble(), taken.quantity,
                    line.damaged ? 1 : 0, conv::isoDate(refund.at.date()),
                    conv::timeText(refund.at.time())});
        stored.amount += taken.price.times(taken.quantity);
    }
    connection.write(QStringLiteral("UPDATE [refunds] SET [Amount] = ?1 WHERE [Refund] = ?2"),
                     {stored.amount.toDouble(), refund.id});
    return stored;
}

void FileDialect::storeVoid(Connection &connection, const VoidRecord &voidRecord) const {
    if (voidRecord.reason.trimmed().isEmpty())
        throw refused(QStringLiteral("give the reason for the void"));
    const int added = connection.write(
        QStringLiteral("INSERT INTO [voids] ([Void], [Receipt], [Line], [Reason], [VoidedAt], "
                       "[Login]) VALUES (?1, ?2, ?3, ?4, ?5, ?6) ON CONFLICT ([Void]) DO NOTHING"),
        {voidRecord.id, voidRecord.receipt,
         voidRecord.line != 0 ? QVariant(voidRecord.line) : QVariant(), voidRecord.reason.trimmed(),
         conv::isoMoment(voidRecord.at), systemUser()});
    if (added != 1)
        return; // stored before: the same void sent again
    const ReceiptHeader receipt = receiptHeader(connection, voidRecord.receipt);
    if (receipt.paid)
        throw refused(QStringLiteral("the receipt %1 is paid: only a refund takes its lines back")
                          .arg(receipt.readable));
    const QVariant session = connection.scalar(
        QStringLiteral("SELECT [Session] FROM [receiptsessions] WHERE [Receipt] = ?1"),
        {voidRecord.receipt});
    if (session.isValid()) {
        const auto open = openSessionOf(connection, filetill::thisTill(connection));
        if (!open || *open != session.toLongLong())
            throw refused(QStringLiteral("the receipt %1 was sold in a session that is closed")
                              .arg(receipt.readable));
        connection.write(QStringLiteral("UPDATE [voids] SET [Session] = ?1 WHERE [Void] = ?2"),
                         {session, voidRecord.id});
    }
    std::vector<int> lines;
    if (voidRecord.line != 0) {
        lines.push_back(voidRecord.line);
    } else {
        Statement left = connection.prepare(QStringLiteral(
            "SELECT l.[Line] FROM [receiptlines] l WHERE l.[Receipt] = ?1 AND NOT EXISTS (SELECT "
            "1 FROM [voidlines] w WHERE w.[Receipt] = l.[Receipt] AND w.[Line] = l.[Line]) "
            "ORDER BY l.[Line]"));
        left.bindAll({voidRecord.receipt});
        while (left.step())
            lines.push_back(left.value(0).toInt());
        if (lines.empty())
            throw refused(QStringLiteral("every line of the receipt %1 is voided already")
                              .arg(receipt.readable));
    }
    Statement insert = connection.prepare(QStringLiteral(
        "INSERT INTO [voidlines] ([Void], [Receipt], [Line], [Price], [Qty], [SoldDate], "
        "[SoldTime]) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7) ON CONFLICT ([Receipt], [Line]) DO "
        "NOTHING"));
    for (const int line : lines) {
        const auto sold = receiptLine(connection, voidRecord.receipt, line);
        if (!sold)
            throw refused(
                QStringLiteral("the receipt %1 has no line %2").arg(receipt.readable).arg(line));
        insert.bindAll({voidRecord.id, voidRecord.receipt, line, sold->price.toDouble(),
                        sold->quantity, conv::isoDate(voidRecord.at.date()),
                        conv::timeText(voidRecord.at.time())});
        insert.step();
        const bool first = connection.changes() == 1;
        insert.reset();
        if (!first || !takeBack(connection, voidRecord.receipt, line, sold->quantity))
            throw refused(QStringLiteral("the line %1 of the receipt %2 is voided already")
                              .arg(line)
                              .arg(receipt.readable));
        offsetSale(connection, sold->bookNo, sold->isbn, sold->title, sold->price, sold->quantity,
                   true, voidRecord.at);
    }
    const auto [settled, due] = settledAndDue(connection, voidRecord.receipt, true);
    if (settled > due)
        throw refused(QStringLiteral("the payments taken on the receipt %1 (%2) come to more "
                                     "than its lines would total (%3)")
                          .arg(receipt.readable, settled.text(), due.text()));
}

} // namespace filetill
