// A receipt to and from JSON text.
#include "receiptcodec.h"

#include "conversions.h"
#include "dataerror.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace receiptcodec {

namespace {

Money moneyOf(const QJsonValue &value) {
    const std::optional<Money> money = Money::parse(value.toString());
    if (!money)
        throw DataError(QStringLiteral("A kept receipt holds an amount that is not one: '%1'.")
                            .arg(value.toString()));
    return *money;
}

} // namespace

QByteArray write(const ReceiptRecord &receipt) {
    QJsonArray lines, payments;
    for (const ReceiptLineRecord &line : receipt.lines)
        lines.append(QJsonObject{{"line", line.line},
                                 {"bookno", line.bookNo},
                                 {"isbn", line.isbn},
                                 {"title", line.title},
                                 {"price", line.price.text()},
                                 {"qty", line.quantity},
                                 {"day", conv::isoDate(line.day)},
                                 {"soldtime", conv::timeText(line.time)}});
    for (const PaymentRecord &payment : receipt.payments)
        payments.append(QJsonObject{{"payment", payment.payment},
                                    {"method", payment.method},
                                    {"amount", payment.amount.text()},
                                    {"tendered", payment.tendered.text()},
                                    {"given", payment.given.text()},
                                    {"paidat", conv::isoMoment(payment.at)}});
    QJsonObject whole{{"receipt", receipt.id},
                      {"opened", conv::isoMoment(receipt.opened)},
                      {"lines", lines},
                      {"payments", payments}};
    if (receipt.rounding)
        whole.insert(QLatin1String("rounding"), receipt.rounding->text());
    if (receipt.paidAt.isValid())
        whole.insert(QLatin1String("paid"), conv::isoMoment(receipt.paidAt));
    return QJsonDocument(whole).toJson(QJsonDocument::Compact);
}

ReceiptRecord read(const QByteArray &text) {
    const QJsonObject whole = QJsonDocument::fromJson(text).object();
    ReceiptRecord receipt;
    receipt.id = whole.value(QLatin1String("receipt")).toString();
    if (receipt.id.isEmpty())
        throw DataError(QStringLiteral("A kept receipt cannot be read: it has no identifier."));
    receipt.opened = conv::parseMoment(whole.value(QLatin1String("opened")).toString());
    for (const QJsonValue &value : whole.value(QLatin1String("lines")).toArray()) {
        const QJsonObject line = value.toObject();
        receipt.lines.push_back(
            {line.value(QLatin1String("line")).toInt(),
             line.value(QLatin1String("bookno")).toInteger(),
             line.value(QLatin1String("isbn")).toString(),
             line.value(QLatin1String("title")).toString(),
             moneyOf(line.value(QLatin1String("price"))),
             line.value(QLatin1String("qty")).toInteger(),
             conv::parseDate(line.value(QLatin1String("day")).toString()),
             conv::parseTime(line.value(QLatin1String("soldtime")).toString())});
    }
    for (const QJsonValue &value : whole.value(QLatin1String("payments")).toArray()) {
        const QJsonObject payment = value.toObject();
        receipt.payments.push_back(
            {payment.value(QLatin1String("payment")).toInt(),
             payment.value(QLatin1String("method")).toInteger(),
             moneyOf(payment.value(QLatin1String("amount"))),
             moneyOf(payment.value(QLatin1String("tendered"))),
             moneyOf(payment.value(QLatin1String("given"))),
             conv::parseMoment(payment.value(QLatin1String("paidat")).toString())});
    }
    if (whole.contains(QLatin1String("rounding")))
        receipt.rounding = moneyOf(whole.value(QLatin1String("rounding")));
    if (whole.contains(QLatin1String("paid")))
        receipt.paidAt = conv::parseMoment(whole.value(QLatin1String("paid")).toString());
    return receipt;
}

} // namespace receiptcodec
