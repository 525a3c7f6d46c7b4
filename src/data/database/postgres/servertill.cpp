// A till's session work on a server: each a call of the shop's function for it with the work
// as JSON (amounts as their exact decimal text), answered with JSON.
#include "servertill.h"

#include "connection.h"
#include "conversions.h"
#include "dataerror.h"
#include "serverroles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace servertill {

namespace {

QJsonObject call(Connection &connection, const char *function, const QJsonObject &work) {
    Statement call = connection.prepare(EngineSql{
        QStringLiteral("SELECT %1($1::jsonb)::text").arg(QLatin1String(function)), false});
    call.bindAll({QString::fromUtf8(QJsonDocument(work).toJson(QJsonDocument::Compact))});
    if (!call.step())
        throw DataError(QStringLiteral("the shop server did not answer"));
    const QJsonObject answer = QJsonDocument::fromJson(call.value(0).toByteArray()).object();
    call.step();
    return answer;
}

Money moneyOf(const QJsonValue &value) {
    return Money::parse(value.toVariant().toString()).value_or(Money());
}

} // namespace

qint64 openSession(Connection &connection, const SessionOpening &opening) {
    return call(connection, serverroles::kOpenSession,
                {{"float", opening.openingFloat.text()}, {"at", conv::isoMoment(opening.at)}})
        .value(QLatin1String("session"))
        .toInteger();
}

void moveCash(Connection &connection, const CashMovementRecord &movement) {
    call(connection, serverroles::kMoveCash,
         {{"movement", movement.id},
          {"session", movement.session},
          {"direction", movement.in ? "in" : "out"},
          {"amount", movement.amount.text()},
          {"reason", movement.reason},
          {"at", conv::isoMoment(movement.at)}});
}

void closeSession(Connection &connection, const SessionClosing &closing) {
    QJsonArray counted;
    for (const CountedAmount &count : closing.counted)
        counted.append(QJsonObject{{"method", count.method}, {"counted", count.counted.text()}});
    call(connection, serverroles::kCloseSession,
         {{"session", closing.session}, {"counted", counted}, {"at", conv::isoMoment(closing.at)}});
}

StoredRefund storeRefund(Connection &connection, const RefundRecord &refund) {
    QJsonArray lines;
    for (const RefundLineRecord &line : refund.lines)
        lines.append(QJsonObject{{"line", line.line},
                                 {"receiptline", line.receiptLine},
                                 {"bookno", line.bookNo},
                                 {"isbn", line.isbn},
                                 {"title", line.title},
                                 {"price", line.price.text()},
                                 {"qty", line.quantity},
                                 {"damaged", line.damaged}});
    QJsonObject work{{"refund", refund.id},
                     {"reason", refund.reason},
                     {"at", conv::isoMoment(refund.at)},
                     {"lines", lines}};
    if (!refund.receipt.isEmpty())
        work.insert(QStringLiteral("receipt"), refund.receipt);
    if (refund.method)
        work.insert(QStringLiteral("method"), *refund.method);
    const QJsonObject stored = call(connection, serverroles::kStoreRefund, work);
    return {moneyOf(stored.value(QLatin1String("amount"))),
            stored.value(QLatin1String("session")).toInteger()};
}

void storeVoid(Connection &connection, const VoidRecord &voidRecord) {
    call(connection, serverroles::kStoreVoid,
         {{"void", voidRecord.id},
          {"receipt", voidRecord.receipt},
          {"line", voidRecord.line},
          {"reason", voidRecord.reason},
          {"at", conv::isoMoment(voidRecord.at)}});
}

void receiptReceived(Connection &connection, const QString &receipt, qint64 tillNumber) {
    call(connection, serverroles::kReceiptReceived, {{"receipt", receipt}, {"number", tillNumber}});
}

void receiptRefused(Connection &connection, const QString &receipt, const QString &reason,
                    const QString &made) {
    call(connection, serverroles::kRefuseReceipt,
         {{"receipt", receipt}, {"reason", reason}, {"made", made}});
}

} // namespace servertill
