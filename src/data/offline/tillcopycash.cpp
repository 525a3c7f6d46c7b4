// The till's outbox of cash put in or taken out while the server was away.
#include "tillcopy.h"

#include "conversions.h"
#include "dataerror.h"

#include <QJsonDocument>
#include <QJsonObject>

void TillCopy::queueCash(const CashMovementRecord &movement) {
    // The same movement again (its identifier) keeps its place.
    connection_.write(QStringLiteral("INSERT INTO outboxcash (Movement, Session, MoneyIn, Amount, "
                                     "Reason, At) VALUES (?1, ?2, ?3, ?4, ?5, ?6) ON CONFLICT "
                                     "(Movement) DO NOTHING"),
                      {movement.id, movement.session, movement.in ? 1 : 0, movement.amount.text(),
                       movement.reason, conv::isoMoment(movement.at)});
}

std::vector<CashMovementRecord> TillCopy::oldestCash(int limit) {
    Statement select = connection_.prepare(
        QStringLiteral("SELECT Movement, Session, MoneyIn, Amount, Reason, At FROM outboxcash "
                       "ORDER BY Item LIMIT ?1"));
    select.bindAll({limit});
    std::vector<CashMovementRecord> movements;
    while (select.step()) {
        const std::optional<Money> amount = Money::parse(select.value(3).toString());
        if (!amount)
            throw DataError(QStringLiteral("The till's outbox holds cash of an amount that is not "
                                           "one: '%1'.")
                                .arg(select.value(3).toString()));
        movements.push_back({select.value(0).toString(), select.value(1).toLongLong(),
                             select.value(2).toInt() != 0, *amount, select.value(4).toString(),
                             conv::parseMoment(select.value(5).toString())});
    }
    return movements;
}

void TillCopy::cashSent(const QString &id, const QDateTime &at) {
    Transaction transaction(connection_);
    connection_.write(QStringLiteral("DELETE FROM outboxcash WHERE Movement = ?1"), {id});
    setLastContact(at);
    transaction.commit();
}

void TillCopy::setAsideCash(const CashMovementRecord &movement, const QString &reason,
                            const QDateTime &at) {
    Transaction transaction(connection_);
    connection_.write(
        QStringLiteral(
            "INSERT INTO setasidecash (Movement, Session, MoneyIn, Amount, Reason, At, Refusal, "
            "RefusedAt) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8) ON CONFLICT DO NOTHING"),
        {movement.id, movement.session, movement.in ? 1 : 0, movement.amount.text(),
         movement.reason, conv::isoMoment(movement.at), reason, conv::isoMoment(at)});
    connection_.write(QStringLiteral("DELETE FROM outboxcash WHERE Movement = ?1"), {movement.id});
    transaction.commit();
}

QString TillCopy::cashText(const CashMovementRecord &movement) {
    const QJsonObject object{{"movement", movement.id},
                             {"session", movement.session},
                             {"direction", movement.in ? "in" : "out"},
                             {"amount", movement.amount.text()},
                             {"reason", movement.reason},
                             {"at", conv::isoMoment(movement.at)}};
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}
