// The till's copy of the catalogue and of the offers, as the counter reads it offline.
#include "tillcopy.h"

#include "conversions.h"

void TillCopy::replaceCatalogue(const std::vector<CopiedTitle> &titles,
                                const std::vector<CopiedOffer> &offers, const QDateTime &at) {
    Transaction transaction(connection_);
    connection_.exec(QStringLiteral("DELETE FROM copytitles; DELETE FROM copyoffers"));
    Statement title = connection_.prepare(
        QStringLiteral("INSERT INTO copytitles (BOOKNO, ISBN, Title, Author, Price, Qty) VALUES "
                       "(?1, ?2, ?3, ?4, ?5, ?6)"));
    for (const CopiedTitle &copied : titles)
        title.run({copied.bookNo, copied.isbn, copied.title, copied.author,
                   copied.salePrice ? QVariant(copied.salePrice->text()) : QVariant(),
                   copied.stock});
    // In the shop's stored order: the first offer of an ISBN is the one that counts.
    Statement offer = connection_.prepare(QStringLiteral(
        "INSERT INTO copyoffers (ISBN, Price, FromDay, ToDay) VALUES (?1, ?2, ?3, ?4)"));
    for (const CopiedOffer &copied : offers)
        offer.run({copied.isbn, copied.price.text(), conv::isoDate(copied.begin),
                   conv::isoDate(copied.end)});
    setState(kLastRefresh, conv::isoMoment(at));
    transaction.commit();
}

std::optional<CopiedTitle> TillCopy::findIsbn(const QString &isbn) {
    Statement select = connection_.prepare(QStringLiteral(
        "SELECT t.BOOKNO, t.ISBN, t.Title, t.Author, t.Price, t.Qty - coalesce((SELECT "
        "sum(l.Qty) FROM outboxlines l WHERE l.BOOKNO = t.BOOKNO), 0) FROM copytitles t WHERE "
        "t.ISBN = ?1 ORDER BY t.BOOKNO LIMIT 1"));
    select.bindAll({isbn});
    if (!select.step())
        return std::nullopt;
    return CopiedTitle{select.value(0).toLongLong(),
                       select.value(1).toString(),
                       select.value(2).toString(),
                       select.value(3).toString(),
                       select.value(4).isNull() ? std::nullopt
                                                : Money::parse(select.value(4).toString()),
                       select.value(5).toLongLong()};
}

std::optional<Money> TillCopy::offerOn(const QString &isbn, const QDate &day) {
    Statement select = connection_.prepare(QStringLiteral(
        "SELECT Price, FromDay, ToDay FROM copyoffers WHERE ISBN = ?1 ORDER BY Offer LIMIT 1"));
    select.bindAll({isbn});
    if (!select.step())
        return std::nullopt;
    const QDate begin = conv::parseDate(select.value(1).toString());
    const QDate end = conv::parseDate(select.value(2).toString());
    if (!(begin <= day && day <= end))
        return std::nullopt;
    return Money::parse(select.value(0).toString());
}
