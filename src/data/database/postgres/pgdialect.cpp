// PostgreSQL's dialect: names in lower case, $N parameters, the hidden row id and till
// columns left out of select *, rows in the order they were stored; a sale is one call of
// the sale's own function.
#include "pgdialect.h"

#include "connection.h"
#include "conversions.h"
#include "dataerror.h"
#include "orderrecords.h"
#include "receiptcodec.h"
#include "receiptrecord.h"
#include "searchtext.h"
#include "serverroles.h"
#include "shoptables.h"
#include "sqldialect.h"
#include "tillrecords.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// A call of the shop's function for a piece of work, given as JSON (amounts as their exact
// decimal text): the function checks the work and does it as the shop's owner. Its answer as
// text.
QByteArray call(Connection &connection, const char *function, const QByteArray &work,
                const QString &unanswered = QStringLiteral("the shop server did not answer")) {
    Statement call = connection.prepare(EngineSql{
        QStringLiteral("SELECT %1($1::jsonb)::text").arg(QLatin1String(function)), false});
    call.bindAll({QString::fromUtf8(work)});
    if (!call.step())
        throw DataError(unanswered);
    const QByteArray answer = call.value(0).toByteArray();
    call.step();
    return answer;
}

// The same, for work and an answer that are JSON objects.
QJsonObject call(Connection &connection, const char *function, const QJsonObject &work) {
    return QJsonDocument::fromJson(
               call(connection, function, QJsonDocument(work).toJson(QJsonDocument::Compact)))
        .object();
}

Money moneyOf(const QJsonValue &value) {
    return Money::parse(value.toVariant().toString()).value_or(Money());
}

// A folded word as a regular expression that matches the word in the stored text, each letter
// as the class of the characters that fold to it ("[eEèé...]"): the server compares what it
// stores as it is, so that an index of its trigrams can serve the search.
QString wordExpression(const QString &word) {
    const auto escaped = [](QChar c) {
        const bool plain = c.unicode() >= 0x80 || c.isLetterOrNumber();
        return plain ? QString(c) : QStringLiteral("\\") + c;
    };
    QString expression;
    for (const QChar c : word) {
        const QString alike = searchtext::sameAs(c);
        if (alike.size() == 1) {
            expression += escaped(c);
            continue;
        }
        expression += QLatin1Char('[');
        for (const QChar a : alike)
            expression += escaped(a);
        expression += QLatin1Char(']');
    }
    return expression;
}

class ServerDialect : public SqlDialect {
public:
    ServerDialect()
        : SqlDialect({.lowerCaseNames = true,
                      .parameterMark = '$',
                      .collation = QStringLiteral("\"shoptext\""),
                      .totalOpen = QStringLiteral("coalesce(sum("),
                      .totalClose = QStringLiteral("), 0)::float8"),
                      .listsColumns = true,
                      .ordersByRowid = true,
                      .takesPragma = false,
                      .runsOn = QStringLiteral("the shop server")}) {}

    // A till may change stock and add sale rows only through the sale's function, which
    // does both as the shop's owner after checking what it is given. The price goes as its
    // exact decimal text: the server's numeric takes it as it is.
    const std::vector<SaleStatement> &bookSale() const override {
        using V = SaleValue;
        static const std::vector<SaleStatement> statements{
            {EngineSql{QStringLiteral("SELECT %1($1::integer, $2::integer, $3::numeric, "
                                      "$4::date, $5::time)")
                           .arg(QLatin1String(serverroles::kBookSale)),
                       false},
             {V::BookNo, V::Quantity, V::PriceText, V::Day, V::Time}}};
        return statements;
    }

    // The copies as the shortest text of the number through a cast. For this transaction
    // only, the grouping of a year's sales by ISBN (some 100,000 of them) and its two sorts
    // get the memory they need rather than spilling to disk, and each ISBN's first sale row
    // is fetched by its row id, as on the file: the planner, expecting far fewer ISBNs,
    // would otherwise walk the whole table's key index to join them. The sales are grouped
    // as they come in ISBN order, from the index that carries each sale's row id (the shop's
    // version 9), rather than by hashing the period's rows read from the table: a quarter
    // less time for a year; a short period is still read by day and sorted.
    const std::vector<EngineSql> &topSellers() const override {
        static const std::vector<EngineSql> statements{
            EngineSql{QStringLiteral("SET LOCAL work_mem = '16MB'; SET LOCAL enable_mergejoin = "
                                     "off; SET LOCAL enable_hashjoin = off; SET LOCAL "
                                     "enable_hashagg = off"),
                      false},
            topSellersSql(QStringLiteral("coalesce(g.copies, 0)::text"), QString())};
        return statements;
    }

    // A till stores its receipts only through the receipt's function, which does each part
    // once as the shop's owner after checking it (the shop's version 3 makes it).
    StoredReceipt storeReceipt(Connection &connection,
                               const ReceiptRecord &receipt) const override {
        const QJsonObject stored =
            QJsonDocument::fromJson(
                call(connection, serverroles::kStoreReceipt, receiptcodec::write(receipt),
                     QStringLiteral("the shop server did not answer for the receipt")))
                .object();
        return {stored.value(QLatin1String("number")).toInteger(),
                stored.value(QLatin1String("readable")).toString(),
                stored.value(QLatin1String("paid")).toBool()};
    }

    // A till's session work: each a call of the shop's function for it (the shop's version 4).
    qint64 openSession(Connection &connection, const SessionOpening &opening) const override {
        return call(connection, serverroles::kOpenSession,
                    {{"float", opening.openingFloat.text()}, {"at", conv::isoMoment(opening.at)}})
            .value(QLatin1String("session"))
            .toInteger();
    }
    void moveCash(Connection &connection, const CashMovementRecord &movement) const override {
        call(connection, serverroles::kMoveCash,
             {{"movement", movement.id},
              {"session", movement.session},
              {"direction", movement.in ? "in" : "out"},
              {"amount", movement.amount.text()},
              {"reason", movement.reason},
              {"at", conv::isoMoment(movement.at)}});
    }
    void closeSession(Connection &connection, const SessionClosing &closing) const override {
        QJsonArray counted;
        for (const CountedAmount &count : closing.counted)
            counted.append(
                QJsonObject{{"method", count.method}, {"counted", count.counted.text()}});
        call(connection, serverroles::kCloseSession,
             {{"session", closing.session},
              {"counted", counted},
              {"at", conv::isoMoment(closing.at)}});
    }
    StoredRefund storeRefund(Connection &connection, const RefundRecord &refund) const override {
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
    void storeVoid(Connection &connection, const VoidRecord &voidRecord) const override {
        call(connection, serverroles::kStoreVoid,
             {{"void", voidRecord.id},
              {"receipt", voidRecord.receipt},
              {"line", voidRecord.line},
              {"reason", voidRecord.reason},
              {"at", conv::isoMoment(voidRecord.at)}});
    }

    // The server's own time of arrival; the shop's functions take the till from the login.
    void receiptReceived(Connection &connection, const QString &receipt, qint64 tillNumber,
                         const QDateTime &) const override {
        call(connection, serverroles::kReceiptReceived,
             {{"receipt", receipt}, {"number", tillNumber}});
    }
    void receiptRefused(Connection &connection, const QString &receipt, const QString &reason,
                        const QString &made, const QDateTime &) const override {
        call(connection, serverroles::kRefuseReceipt,
             {{"receipt", receipt}, {"reason", reason}, {"made", made}});
    }

    // Recorded by the back office's login itself, which may add the row.
    void recordXReport(Connection &connection, qint64 session, const QDateTime &at) const override {
        static const EngineSql sql{QStringLiteral("INSERT INTO xreports (session, openedat, "
                                                  "login) VALUES ($1, $2, session_user)"),
                                   false};
        Statement insert = connection.prepare(sql);
        insert.bindAll({session, conv::isoMoment(at)});
        insert.step();
    }
    // The back office's functions (the shop's version 4 makes them): a till may not read a
    // session's figures before its closing count.
    const EngineSql &sessionTotals() const override {
        static const EngineSql sql{
            QStringLiteral("SELECT * FROM %1($1)").arg(QLatin1String(serverroles::kSessionTotals)),
            true};
        return sql;
    }
    const EngineSql &sessionMethods() const override {
        static const EngineSql sql{
            QStringLiteral("SELECT * FROM %1($1)").arg(QLatin1String(serverroles::kSessionMethods)),
            true};
        return sql;
    }

    QString login(Connection &connection) const override {
        static const EngineSql sql{QStringLiteral("SELECT session_user::text"), true};
        Statement select = connection.prepare(sql);
        select.step();
        const QString login = select.value(0).toString();
        select.step();
        return login;
    }
    // As the shop's owner: a till's login may not add titles otherwise.
    qint64 addOrderedTitle(Connection &connection, const OrderedTitle &title) const override {
        const QJsonObject work{{"isbn", title.isbn},         {"title", title.title},
                               {"author", title.author},     {"publisher", title.publisher},
                               {"supplier", title.supplier}, {"price", title.price.text()}};
        return call(connection, serverroles::kAddOrderedTitle,
                    QJsonDocument(work).toJson(QJsonDocument::Compact))
            .toLongLong();
    }

    // The till whose login this is.
    const EngineSql &thisTill() const override {
        static const EngineSql sql{QStringLiteral("SELECT till, name, prefix FROM tills WHERE "
                                                  "login = session_user"),
                                   true};
        return sql;
    }

    QVariantList wordValues(const QStringList &words) const override {
        QVariantList values;
        for (const QString &word : words)
            values << wordExpression(word);
        return values;
    }

protected:
    // The columns as one text, a line each (no word spans two: a word never holds a line's
    // end), tested once a word: the expression of the catalogue's index of trigrams (the
    // step's titleswords), which serves a word of three letters or more.
    QString wordCondition(const QStringList &columns, int first, int words) const override {
        QStringList texts;
        for (const QString &column : columns)
            texts << QStringLiteral("coalesce(%1, '')").arg(column);
        const QString text = texts.join(QStringLiteral(" || E'\\n' || "));
        QStringList all;
        for (int word = 0; word < words; ++word)
            all << QStringLiteral("(%1) ~ %2").arg(text, parameter(first + word));
        return all.join(QStringLiteral(" AND "));
    }
};

} // namespace

const SqlDialect &engines::serverDialect() {
    static const ServerDialect dialect;
    return dialect;
}

QString engines::shopSpelling(const QString &lowerCase) {
    static const QHash<QString, QString> names = [] {
        QHash<QString, QString> all;
        for (const TableDescription &description : tables::all) {
            all.insert(QString::fromLatin1(description.name).toLower(),
                       QString::fromLatin1(description.name));
            for (const Column &column : description.columns)
                all.insert(QString::fromLatin1(column.name).toLower(),
                           QString::fromLatin1(column.name));
        }
        return all;
    }();
    return names.value(lowerCase, lowerCase);
}
