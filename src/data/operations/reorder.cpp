// Reorder suggestions: the arithmetic in one function, the figures of a supplier's titles in one
// statement in the shop's form, which both engines take.
#include "reorder.h"

#include "connection.h"
#include "conversions.h"
#include "dataerror.h"
#include "shopoperations.h"
#include "shopsession.h"

#include <map>

namespace shop {

namespace {

// Each title's figures: its sales within the window (by ISBN, as sales are kept), the copies
// still to come on open orders (drafts too, so that a draft made from this list is not
// suggested again) and the copies of customer orders not yet ordered.
const QString &figuresQuery() {
    static const QString sql = QStringLiteral(
        "SELECT t.[BOOKNO], t.[ISBN], t.[Title], coalesce(t.[Qty], 0), coalesce(t.[SafeQty], 0), "
        "t.[PurchasePrice], "
        "coalesce((SELECT sum(s.[Qty]) FROM [soldbook] s WHERE s.[ISBN] = t.[ISBN] AND "
        "%2 AND s.[SoldDate] <= ?3), 0), "
        "coalesce((SELECT sum(CASE WHEN l.[Ordered] - l.[Cancelled] > l.[Received] THEN "
        "l.[Ordered] - l.[Cancelled] - l.[Received] ELSE 0 END) FROM [purchaselines] l JOIN "
        "[purchaseorders] o ON o.[OrderNo] = l.[OrderNo] WHERE l.[BOOKNO] = t.[BOOKNO] AND "
        "o.[State] IN ('draft', 'sent', 'partly received')), 0), "
        "coalesce((SELECT sum(c.[Qty]) FROM [customerorders] c WHERE c.[BOOKNO] = t.[BOOKNO] "
        "AND c.[State] = 'requested'), 0), t.[Retail] "
        "FROM [Titles] t WHERE %1 ORDER BY %3t.[Title], t.[BOOKNO]");
    return sql;
}

Suggestion suggestionOf(Statement &row, const ReorderDays &days) {
    Suggestion s;
    s.bookNo = row.value(0).toLongLong();
    s.isbn = row.value(1).toString();
    s.title = row.value(2).toString();
    s.figures.onHand = row.value(3).toLongLong();
    s.figures.safe = row.value(4).toLongLong();
    s.cost = Money::fromValue(row.value(5)).value_or(Money());
    s.figures.sold = row.value(6).toLongLong();
    s.figures.onOrder = row.value(7).toLongLong();
    s.figures.awaited = row.value(8).toLongLong();
    s.quantity = suggestedQuantity(s.figures, days);
    return s;
}

QVariantList windowOf(const ReorderDays &days, const QDate &today) {
    return {conv::isoDate(today.addDays(1 - days.window)), conv::isoDate(today)};
}

} // namespace

qint64 suggestedQuantity(const ReorderFigures &f, const ReorderDays &days) {
    const qint64 window = std::max(days.window, 1);
    // sold / window x (lead + cover) + rest, over the window: the ceiling of a whole fraction.
    const qint64 rest = f.safe - f.onHand - f.onOrder + f.awaited;
    const qint64 numerator = f.sold * (days.lead + days.cover) + rest * window;
    if (numerator <= 0)
        return 0;
    return (numerator + window - 1) / window;
}

ReorderDays reorderDays(Connection &connection, const QString &supplier) {
    for (const QString &name : {supplier.trimmed(), QString()}) {
        Statement select = connection.prepare(
            QStringLiteral("SELECT [WindowDays], [LeadDays], [CoverDays] FROM [reordersettings] "
                           "WHERE [Supplier] = ?1"));
        select.bindAll({name});
        if (select.step()) {
            const ReorderDays days{select.value(0).toInt(), select.value(1).toInt(),
                                   select.value(2).toInt()};
            select.step();
            return days;
        }
    }
    return {};
}

void setReorderDays(ShopSession &session, const QString &supplier, const ReorderDays &days) {
    if (days.window < 1 || days.window > 3660)
        throw DataError(QStringLiteral("Count the sales of 1 to 3660 days."));
    if (days.lead < 0 || days.cover < 0 || days.lead > 3660 || days.cover > 3660)
        throw DataError(QStringLiteral("Lead and cover days are whole numbers from 0 to 3660."));
    try {
        session.transact({QStringLiteral("reordersettings")}, [&](Connection &connection) {
            Statement upsert = connection.prepare(QStringLiteral(
                "INSERT INTO [reordersettings] ([Supplier], [WindowDays], [LeadDays], "
                "[CoverDays]) VALUES (?1, ?2, ?3, ?4) ON CONFLICT ([Supplier]) DO UPDATE SET "
                "[WindowDays] = excluded.[WindowDays], [LeadDays] = excluded.[LeadDays], "
                "[CoverDays] = excluded.[CoverDays]"));
            upsert.bindAll({supplier.trimmed(), days.window, days.lead, days.cover});
            upsert.step();
        });
    } catch (const DataError &error) {
        throw notStored(QStringLiteral("The reorder days were not changed: %1."), error);
    }
}

std::vector<Suggestion> reorderSuggestions(Connection &connection, const QString &supplier,
                                           const QDate &today) {
    const ReorderDays days = reorderDays(connection, supplier);
    Statement select = connection.prepare(figuresQuery().arg(
        QStringLiteral("t.[Retail] = ?1"), QStringLiteral("s.[SoldDate] >= ?2"), QString()));
    select.bindAll(QVariantList{supplier} + windowOf(days, today));
    std::vector<Suggestion> list;
    while (select.step()) {
        Suggestion s = suggestionOf(select, days);
        if (s.quantity > 0)
            list.push_back(std::move(s));
    }
    return list;
}

std::vector<std::pair<QString, std::vector<Suggestion>>>
everyReorderSuggestion(Connection &connection, const QDate &today) {
    // Each supplier with days of its own counts sales from its own first day; the others from
    // the shop's.
    const ReorderDays shopDays = reorderDays(connection, QString());
    std::map<QString, ReorderDays> own;
    Statement settings = connection.prepare(QStringLiteral(
        "SELECT [Supplier], [WindowDays], [LeadDays], [CoverDays] FROM [reordersettings] WHERE "
        "[Supplier] <> ''"));
    while (settings.step())
        own[settings.value(0).toString()] = {settings.value(1).toInt(), settings.value(2).toInt(),
                                             settings.value(3).toInt()};
    // ?1 the empty name, ?2 and ?3 the shop's window, then each supplier's name and first day.
    QVariantList values{QString()};
    values << windowOf(shopDays, today);
    QString since = QStringLiteral("s.[SoldDate] >= ?2");
    if (!own.empty()) {
        QStringList cases, names;
        for (const auto &[supplier, days] : own) {
            const auto name = values.size() + 1;
            cases << QStringLiteral("(t.[Retail] = ?%1 AND s.[SoldDate] >= ?%2)")
                         .arg(name)
                         .arg(name + 1);
            names << QStringLiteral("?%1").arg(name);
            values << supplier << windowOf(days, today).front();
        }
        since = QStringLiteral("(%1 OR (t.[Retail] NOT IN (%2) AND s.[SoldDate] >= ?2))")
                    .arg(cases.join(QStringLiteral(" OR ")), names.join(QStringLiteral(", ")));
    }
    Statement select = connection.prepare(
        figuresQuery().arg(QStringLiteral("t.[Retail] IS NOT NULL AND t.[Retail] <> ?1"), since,
                           QStringLiteral("t.[Retail], ")));
    select.bindAll(values);
    std::vector<std::pair<QString, std::vector<Suggestion>>> lists;
    while (select.step()) {
        const QString supplier = select.value(9).toString();
        if (lists.empty() || lists.back().first != supplier)
            lists.emplace_back(supplier, std::vector<Suggestion>());
        const auto found = own.find(supplier);
        Suggestion s = suggestionOf(select, found == own.end() ? shopDays : found->second);
        if (s.quantity > 0)
            lists.back().second.push_back(std::move(s));
    }
    return lists;
}

Suggestion reorderSuggestion(Connection &connection, qint64 bookNo, const QDate &today) {
    const QString supplier =
        connection
            .scalar(QStringLiteral("SELECT [Retail] FROM [Titles] WHERE [BOOKNO] = ?1"), {bookNo})
            .toString();
    const ReorderDays days = reorderDays(connection, supplier);
    Statement select = connection.prepare(figuresQuery().arg(
        QStringLiteral("t.[BOOKNO] = ?1"), QStringLiteral("s.[SoldDate] >= ?2"), QString()));
    select.bindAll(QVariantList{bookNo} + windowOf(days, today));
    if (!select.step())
        throw DataError(QStringLiteral("The title %1 is no longer in the catalogue.").arg(bookNo));
    Suggestion s = suggestionOf(select, days);
    select.step();
    return s;
}

} // namespace shop
