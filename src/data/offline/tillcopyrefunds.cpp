// The till's receipts of its open session, and the refunds of them given while the server was
// away: kept, waiting to be sent, set aside.
#include "tillcopy.h"

#include "conversions.h"
#include "dataerror.h"
#include "receiptcodec.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <map>

// A refund as text in the till's file: every part, amounts as their exact decimal text.
QString TillCopy::refundText(const RefundRecord &refund) {
    QJsonArray lines;
    for (const RefundLineRecord &line : refund.lines)
        lines.append(QJsonObject{{"line", line.line},
                                 {"receiptLine", line.receiptLine},
                                 {"bookNo", line.bookNo},
                                 {"isbn", line.isbn},
                                 {"title", line.title},
                                 {"price", line.price.text()},
                                 {"qty", line.quantity},
                                 {"damaged", line.damaged}});
    QJsonObject object{{"refund", refund.id},
                       {"receipt", refund.receipt},
                       {"reason", refund.reason},
                       {"at", conv::isoMoment(refund.at)},
                       {"lines", lines}};
    if (refund.method)
        object.insert("method", *refund.method);
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

namespace {

RefundRecord readRefund(const QString &text) {
    const QJsonObject object = QJsonDocument::fromJson(text.toUtf8()).object();
    RefundRecord refund{object.value("refund").toString(),
                        object.value("receipt").toString(),
                        object.value("reason").toString(),
                        std::nullopt,
                        conv::parseMoment(object.value("at").toString()),
                        {}};
    if (object.contains("method"))
        refund.method = object.value("method").toInteger();
    for (const QJsonValue &value : object.value("lines").toArray()) {
        const QJsonObject line = value.toObject();
        const std::optional<Money> price = Money::parse(line.value("price").toString());
        if (!price)
            throw DataError(QStringLiteral("The till's outbox holds a refund it cannot read: "
                                           "'%1'.")
                                .arg(text));
        refund.lines.push_back({line.value("line").toInt(), line.value("receiptLine").toInt(),
                                line.value("bookNo").toInteger(), line.value("isbn").toString(),
                                line.value("title").toString(), *price,
                                line.value("qty").toInteger(), line.value("damaged").toBool()});
    }
    if (refund.id.isEmpty() || !refund.at.isValid() || refund.lines.empty())
        throw DataError(
            QStringLiteral("The till's outbox holds a refund it cannot read: '%1'.").arg(text));
    return refund;
}

} // namespace

void TillCopy::keepReceipt(const ReceiptRecord &receipt, const QString &readable, qint64 session) {
    connection_.write(
        QStringLiteral(
            "INSERT INTO tillreceipts (Receipt, Readable, Session, Made) VALUES (?1, ?2, ?3, ?4) "
            "ON CONFLICT (Receipt) DO UPDATE SET Made = excluded.Made"),
        {receipt.id, readable.toUpper(), session, QString::fromUtf8(receiptcodec::write(receipt))});
}

std::optional<RefundableReceipt> TillCopy::receiptToRefund(const QString &readable) {
    Statement select = connection_.prepare(
        QStringLiteral("SELECT Readable, Made FROM tillreceipts WHERE Readable = ?1"));
    select.bindAll({readable.trimmed().toUpper()});
    if (!select.step())
        return std::nullopt;
    const ReceiptRecord made = receiptcodec::read(select.value(1).toString().toUtf8());
    RefundableReceipt receipt{
        made.id, select.value(0).toString(), made.opened, made.paidAt.isValid(), {}};
    std::map<int, qint64> back;
    Statement refunded = connection_.prepare(
        QStringLiteral("SELECT Line, sum(Qty) FROM tillback WHERE Receipt = ?1 GROUP BY Line"));
    refunded.bindAll({made.id});
    while (refunded.step())
        back[refunded.value(0).toInt()] = refunded.value(1).toLongLong();
    for (const ReceiptLineRecord &line : made.lines)
        receipt.lines.push_back({line.line, line.bookNo, line.isbn, line.title, line.price,
                                 line.quantity, back[line.line]});
    return receipt;
}

qint64 TillCopy::sessionOf(const QString &receipt) {
    return connection_
        .scalar(QStringLiteral("SELECT Session FROM tillreceipts WHERE Receipt = ?1"), {receipt})
        .toLongLong();
}

QString TillCopy::readableOf(const QString &receipt) {
    return connection_
        .scalar(QStringLiteral("SELECT Readable FROM tillreceipts WHERE Receipt = ?1"), {receipt})
        .toString();
}

void TillCopy::forgetReceiptsOutside(qint64 session) {
    Transaction transaction(connection_);
    connection_.exec(
        QStringLiteral(
            "DELETE FROM tillreceipts WHERE Session <> %1 AND Receipt NOT IN (SELECT Receipt FROM "
            "outbox); DELETE FROM tillback WHERE Receipt NOT IN (SELECT Receipt FROM tillreceipts)")
            .arg(session));
    transaction.commit();
}

void TillCopy::noteRefund(const RefundRecord &refund) {
    if (refund.receipt.isEmpty())
        return;
    Statement note = connection_.prepare(QStringLiteral(
        "INSERT INTO tillback (Refund, Receipt, Line, Qty) SELECT ?1, ?2, ?3, ?4 WHERE EXISTS "
        "(SELECT 1 FROM tillreceipts WHERE Receipt = ?2) ON CONFLICT DO NOTHING"));
    for (const RefundLineRecord &line : refund.lines)
        note.run({refund.id, refund.receipt, line.receiptLine, line.quantity});
}

void TillCopy::queueRefund(const RefundRecord &refund, qint64 session) {
    Transaction transaction(connection_);
    connection_.write(
        QStringLiteral("INSERT INTO outboxrefunds (Refund, Session, Made) VALUES (?1, ?2, ?3) "
                       "ON CONFLICT (Refund) DO NOTHING"),
        {refund.id, session, refundText(refund)});
    noteRefund(refund);
    transaction.commit();
}

std::vector<WaitingRefund> TillCopy::oldestRefunds(int limit) {
    Statement select = connection_.prepare(
        QStringLiteral("SELECT Made, Session FROM outboxrefunds ORDER BY Item LIMIT ?1"));
    select.bindAll({limit});
    std::vector<WaitingRefund> refunds;
    while (select.step())
        refunds.push_back({readRefund(select.value(0).toString()), select.value(1).toLongLong()});
    return refunds;
}

void TillCopy::refundSent(const QString &id, const QDateTime &at) {
    Transaction transaction(connection_);
    connection_.write(QStringLiteral("DELETE FROM outboxrefunds WHERE Refund = ?1"), {id});
    setLastContact(at);
    transaction.commit();
}

void TillCopy::setAsideRefund(const WaitingRefund &refund, const QString &reason,
                              const QDateTime &at) {
    Transaction transaction(connection_);
    connection_.write(
        QStringLiteral("INSERT INTO setasiderefunds (Refund, Session, Made, Refusal, RefusedAt) "
                       "VALUES (?1, ?2, ?3, ?4, ?5) ON CONFLICT DO NOTHING"),
        {refund.record.id, refund.session, refundText(refund.record), reason, conv::isoMoment(at)});
    // Its copies were not taken back after all: the receipt's lines may be refunded again.
    connection_.write(QStringLiteral("DELETE FROM tillback WHERE Refund = ?1"), {refund.record.id});
    connection_.write(QStringLiteral("DELETE FROM outboxrefunds WHERE Refund = ?1"),
                      {refund.record.id});
    transaction.commit();
}
