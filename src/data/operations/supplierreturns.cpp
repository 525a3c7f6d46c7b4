// Returns to suppliers and their credit, in statements of the shop's form that both engines
// take. Every count that a return lowers changes by one conditional statement, so that two
// computers returning the same copies at once cannot both succeed.
#include "supplierreturns.h"

#include "connection.h"
#include "conversions.h"
#include "dataerror.h"
#include "refusablework.h"
#include "shopoperations.h"
#include "shopsession.h"

#include <map>

namespace shop {

namespace {

// The title's free copies (on the shelf, not set aside for customers) spread over its
// deliveries newest first: sales took the oldest copies. Delivery line -> copies unsold.
std::map<qint64, qint64> unsoldByLine(Connection &connection, qint64 bookNo) {
    const QVariant free = connection.scalar(
        QStringLiteral("SELECT coalesce(t.[Qty], 0) - coalesce((SELECT h.[Held] FROM "
                       "[heldcopies] h WHERE h.[BOOKNO] = t.[BOOKNO]), 0) FROM [Titles] t WHERE "
                       "t.[BOOKNO] = ?1"),
        {bookNo});
    qint64 left = std::max<qint64>(free.toLongLong(), 0);
    Statement lines = connection.prepare(QStringLiteral(
        "SELECT l.[Entry], l.[Copies] - l.[Returned] FROM [deliverylines] l JOIN [deliveries] d "
        "ON d.[Delivery] = l.[Delivery] WHERE l.[BOOKNO] = ?1 ORDER BY d.[ReceivedAt] DESC, "
        "l.[Entry] DESC"));
    lines.bindAll({bookNo});
    std::map<qint64, qint64> unsold;
    while (lines.step()) {
        const qint64 here = std::min(left, std::max<qint64>(lines.value(1).toLongLong(), 0));
        unsold[lines.value(0).toLongLong()] = here;
        left -= here;
    }
    return unsold;
}

struct LineFacts {
    qint64 bookNo = 0;
    QString title, supplier;
    std::optional<QDate> returnBy;
    Money cost;
};

LineFacts factsOf(Connection &connection, qint64 entry) {
    Statement select = connection.prepare(QStringLiteral(
        "SELECT l.[BOOKNO], coalesce(t.[Title], t.[ISBN], ''), d.[Supplier], d.[ReturnBy], "
        "l.[Cost] FROM [deliverylines] l JOIN [deliveries] d ON d.[Delivery] = l.[Delivery] "
        "LEFT JOIN [Titles] t ON t.[BOOKNO] = l.[BOOKNO] WHERE l.[Entry] = ?1"));
    select.bindAll({entry});
    if (!select.step())
        throw Refusal(QStringLiteral("No delivery holds the line %1.").arg(entry));
    LineFacts facts{select.value(0).toLongLong(), select.value(1).toString(),
                    select.value(2).toString(), std::nullopt, Money::orZero(select.value(4))};
    if (!select.value(3).isNull())
        facts.returnBy = QDate::fromString(select.value(3).toString().left(10), Qt::ISODate);
    select.step();
    return facts;
}

} // namespace

std::vector<Returnable> returnDeadlines(Connection &connection, const QDate &today, int days,
                                        const QString &supplier) {
    Statement select = connection.prepare(QStringLiteral(
        "SELECT l.[Entry], l.[Delivery], d.[Supplier], d.[ReturnBy], l.[BOOKNO], "
        "coalesce(t.[ISBN], ''), coalesce(t.[Title], ''), l.[Cost] FROM [deliverylines] l JOIN "
        "[deliveries] d ON d.[Delivery] = l.[Delivery] LEFT JOIN [Titles] t ON t.[BOOKNO] = "
        "l.[BOOKNO] WHERE d.[ReturnBy] >= ?1 AND d.[ReturnBy] <= ?2 AND l.[Copies] > "
        "l.[Returned] AND (?3 = '' OR d.[Supplier] = ?3) ORDER BY d.[ReturnBy], l.[Entry]"));
    select.bindAll({conv::isoDate(today), conv::isoDate(today.addDays(days)), supplier.trimmed()});
    std::vector<Returnable> list;
    while (select.step())
        list.push_back({select.value(0).toLongLong(), select.value(1).toLongLong(),
                        select.value(2).toString(),
                        QDate::fromString(select.value(3).toString().left(10), Qt::ISODate),
                        select.value(4).toLongLong(), select.value(5).toString(),
                        select.value(6).toString(), 0, Money::orZero(select.value(7))});
    std::map<qint64, std::map<qint64, qint64>> unsold; // by title
    std::vector<Returnable> kept;
    for (Returnable &line : list) {
        auto found = unsold.find(line.bookNo);
        if (found == unsold.end())
            found = unsold.emplace(line.bookNo, unsoldByLine(connection, line.bookNo)).first;
        line.unsold = found->second[line.entry];
        if (line.unsold > 0)
            kept.push_back(std::move(line));
    }
    return kept;
}

QStringList returnWarnings(Connection &connection, const ReturnNote &note, const QDate &today) {
    QStringList warnings;
    for (const ReturnedCopies &line : note.lines) {
        const LineFacts facts = factsOf(connection, line.entry);
        if (facts.returnBy && *facts.returnBy < today)
            warnings << QStringLiteral("\"%1\" is past its return deadline of %2.")
                            .arg(facts.title, conv::dateText(*facts.returnBy));
    }
    return warnings;
}

qint64 makeReturn(ShopSession &session, const ReturnNote &note, const QDate &today,
                  bool warningsAccepted) {
    if (note.lines.empty())
        throw DataError(QStringLiteral("Choose the copies to send back."));
    for (const ReturnedCopies &line : note.lines)
        if (line.copies < 1)
            throw DataError(QStringLiteral("A line sends back 1 copy or more."));
    qint64 returnNo = 0;
    refusableWork(
        session,
        {QStringLiteral("supplierreturns"), QStringLiteral("returnlines"),
         QStringLiteral("deliverylines"), QStringLiteral("Titles")},
        QStringLiteral("Nothing was sent back and the stock was not changed: %1."),
        [&](Connection &connection) {
            const QStringList warnings = returnWarnings(connection, note, today);
            if (!warnings.isEmpty() && !warningsAccepted)
                throw Refusal(warnings.join(QLatin1Char(' ')));
            Statement made = connection.prepare(
                QStringLiteral("INSERT INTO [supplierreturns] ([Supplier], [MadeAt], [Credit], "
                               "[PastDeadline], [Login]) VALUES (?1, ?2, ?5, ?3, ?4) RETURNING "
                               "[ReturnNo]"));
            // The credit expected: each line's copies at the cost they came in at.
            qint64 credit = 0;
            for (const ReturnedCopies &line : note.lines)
                credit += factsOf(connection, line.entry).cost.units() * line.copies;
            made.bindAll({note.supplier.trimmed(), conv::isoMoment(note.at),
                          warnings.isEmpty() ? 0 : 1, connection.dialect().login(connection),
                          Money::fromUnits(credit).toDouble()});
            made.step();
            returnNo = made.value(0).toLongLong();
            made.step();
            for (const ReturnedCopies &line : note.lines) {
                const LineFacts facts = factsOf(connection, line.entry);
                if (facts.supplier != note.supplier.trimmed())
                    throw Refusal(QStringLiteral("\"%1\" came from %2, not %3.")
                                      .arg(facts.title, facts.supplier, note.supplier.trimmed()));
                if (connection.write(
                        QStringLiteral("UPDATE [deliverylines] SET [Returned] = [Returned] + ?2 "
                                       "WHERE [Entry] = ?1 AND [Returned] + ?2 <= [Copies]"),
                        {line.entry, line.copies}) != 1)
                    throw Refusal(QStringLiteral("fewer than %1 of \"%2\" in that "
                                                 "delivery are left to send back.")
                                      .arg(copiesText(line.copies), facts.title));
                // Copies set aside for customers stay on the shelf.
                if (connection.write(
                        QStringLiteral("UPDATE [Titles] SET [Qty] = [Qty] - ?2 WHERE [BOOKNO] = ?1 "
                                       "AND [Qty] - ?2 >= coalesce((SELECT h.[Held] FROM "
                                       "[heldcopies] h WHERE h.[BOOKNO] = ?1), 0)"),
                        {facts.bookNo, line.copies}) != 1)
                    throw Refusal(QStringLiteral("fewer than %1 of \"%2\" are "
                                                 "free in stock.")
                                      .arg(copiesText(line.copies), facts.title));
                connection.write(
                    QStringLiteral("INSERT INTO [returnlines] ([ReturnNo], [Delivery], "
                                   "[BOOKNO], [ISBN], [Title], [Copies], [Cost]) SELECT ?1, "
                                   "l.[Delivery], l.[BOOKNO], coalesce(t.[ISBN], ''), ?4, ?3, "
                                   "l.[Cost] FROM [deliverylines] l LEFT JOIN [Titles] t ON "
                                   "t.[BOOKNO] = l.[BOOKNO] WHERE l.[Entry] = ?2"),
                    {returnNo, line.entry, line.copies, facts.title});
            }
        },
        QStringLiteral("Nothing was sent back: %1"));
    return returnNo;
}

void recordCreditNote(ShopSession &session, const QString &supplier, const QString &number,
                      const QDate &day, const Money &amount, qint64 returnNo) {
    if (amount <= Money())
        throw DataError(QStringLiteral("A credit note is for more than 0."));
    if (number.trimmed().isEmpty() || supplier.trimmed().isEmpty())
        throw DataError(QStringLiteral("Give the supplier and the number of its credit note."));
    storedWork(
        session, {QStringLiteral("creditnotes")},
        QStringLiteral("The credit note was not recorded (has %1 a note of that number "
                       "already?): %2.")
            .arg(supplier.trimmed(), QStringLiteral("%1")),
        [&](Connection &connection) {
            connection.write(
                QStringLiteral("INSERT INTO [creditnotes] ([Supplier], [Number], [Day], [Amount], "
                               "[ReturnNo]) VALUES (?1, ?2, ?3, ?4, ?5)"),
                {supplier.trimmed(), number.trimmed(), conv::isoDate(day), amount.toDouble(),
                 returnNo ? QVariant(returnNo) : QVariant()});
        });
}

SupplierCredit supplierCredit(Connection &connection, const QString &supplier) {
    SupplierCredit credit;
    credit.expected = Money::orZero(connection.scalar(
        QStringLiteral("SELECT coalesce(sum([Credit]), 0) FROM [supplierreturns] WHERE "
                       "[Supplier] = ?1"),
        {supplier.trimmed()}));
    credit.noted = Money::orZero(connection.scalar(
        QStringLiteral("SELECT coalesce(sum([Amount]), 0) FROM [creditnotes] WHERE [Supplier] = "
                       "?1"),
        {supplier.trimmed()}));
    return credit;
}

} // namespace shop
