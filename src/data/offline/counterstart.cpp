// The counter's start, read from the shop and kept as JSON in the till's state.
#include "counterstart.h"

#include "connection.h"
#include "conversions.h"
#include "dataerror.h"
#include "tillcopy.h"
#include "versioncheck.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace counterstart {

CounterStart read(Connection &shop) {
    CounterStart start;
    start.settings = shop::paymentSettings(shop);
    if (!start.settings.paymentsOn)
        return start; // a counter without payments sells only online
    start.methods = shop::paymentMethods(shop);
    start.till = shop::thisTill(shop);
    if (start.till && versioncheck::read(shop).number >= shop::sessionsVersion) {
        start.session = shop::openSessionOf(shop, start.till->id);
        start.refundReasons = shop::refundReasons(shop);
    }
    return start;
}

void keep(TillCopy &copy, const CounterStart &start) {
    copy.keepCounterStart(QString::fromUtf8(write(start)));
    copy.forgetReceiptsOutside(start.session ? start.session->id : 0);
}

std::optional<CounterStart> kept(TillCopy &copy) {
    const std::optional<QString> text = copy.counterStart();
    if (!text)
        return std::nullopt;
    return parse(text->toUtf8());
}

QByteArray write(const CounterStart &start) {
    QJsonArray methods;
    for (const PaymentMethod &method : start.methods)
        methods.append(QJsonObject{
            {"id", method.id}, {"name", method.name}, {"kind", static_cast<int>(method.kind)}});
    QJsonObject object{{"paymentsOn", start.settings.paymentsOn},
                       {"rounding", static_cast<int>(start.settings.rounding)},
                       {"methods", methods}};
    QJsonArray reasons;
    for (const RefundReason &reason : start.refundReasons)
        reasons.append(QJsonObject{{"id", reason.id}, {"name", reason.name}});
    object.insert("refundReasons", reasons);
    if (start.till)
        object.insert("till", QJsonObject{{"id", start.till->id},
                                          {"name", start.till->name},
                                          {"prefix", start.till->prefix}});
    if (const std::optional<TillSession> &session = start.session)
        object.insert("session", QJsonObject{{"id", session->id},
                                             {"till", session->till},
                                             {"tillName", session->tillName},
                                             {"opened", conv::isoMoment(session->opened)},
                                             {"float", session->openingFloat.text()},
                                             {"openedBy", session->openedBy}});
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

namespace {

qint64 number(const QJsonObject &object, const char *key) {
    return object.value(QLatin1String(key)).toInteger();
}

QString text(const QJsonObject &object, const char *key) {
    return object.value(QLatin1String(key)).toString();
}

} // namespace

CounterStart parse(const QByteArray &json) {
    const QJsonDocument document = QJsonDocument::fromJson(json);
    const QJsonObject object = document.object();
    const int rounding = object.value("rounding").toInt(-1);
    if (!document.isObject() || !object.value("paymentsOn").isBool() || rounding < 0 ||
        rounding > static_cast<int>(CashRounding::TenCents))
        throw DataError(QStringLiteral("The till's own file holds a counter start it cannot "
                                       "read; the counter needs the shop's server to start."));
    CounterStart start;
    start.settings = {object.value("paymentsOn").toBool(), static_cast<CashRounding>(rounding)};
    for (const QJsonValue &value : object.value("methods").toArray()) {
        const QJsonObject method = value.toObject();
        const int kind = method.value("kind").toInt();
        start.methods.push_back({number(method, "id"), text(method, "name"),
                                 kind == static_cast<int>(MethodKind::Cash)   ? MethodKind::Cash
                                 : kind == static_cast<int>(MethodKind::Card) ? MethodKind::Card
                                                                              : MethodKind::Other});
    }
    for (const QJsonValue &value : object.value("refundReasons").toArray())
        start.refundReasons.push_back(
            {number(value.toObject(), "id"), text(value.toObject(), "name")});
    if (object.contains("till")) {
        const QJsonObject till = object.value("till").toObject();
        start.till = Till{number(till, "id"), text(till, "name"), text(till, "prefix")};
    }
    if (object.contains("session")) {
        const QJsonObject session = object.value("session").toObject();
        const std::optional<Money> openingFloat = Money::parse(text(session, "float"));
        const QDateTime opened = conv::parseMoment(text(session, "opened"));
        if (!openingFloat || !opened.isValid())
            throw DataError(QStringLiteral("The till's own file holds a session it cannot read; "
                                           "the counter needs the shop's server to start."));
        TillSession open;
        open.id = number(session, "id");
        open.till = number(session, "till");
        open.tillName = text(session, "tillName");
        open.opened = opened;
        open.openingFloat = *openingFloat;
        open.openedBy = text(session, "openedBy");
        start.session = open;
    }
    return start;
}

} // namespace counterstart
