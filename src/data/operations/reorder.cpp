// Reorder suggestions: the arithmetic in one function, the figures of the titles in statements
// of the shop's form, which both engines take.
#include "reorder.h"

#include "connection.h"
#include "conversions.h"
#include "dataerror.h"
#include "refusablework.h"
#include "shopsession.h"

#include <QByteArray>

#include <algorithm>
#include <map>
#include <optional>
#include <set>

namespace shop {

namespace {

// The columns every statement of figures gives, in this order; the copies sold within the
// window come last (from `soldColumn` on: one column for each day a window starts on).
const char *const titleColumns = "t.[BOOKNO], t.[ISBN], t.[Title], coalesce(t.[Qty], 0), "
                                 "coalesce(t.[SafeQty], 0), t.[PurchasePrice], ";
constexpr int soldColumn = 9;

// The copies still to come on open orders (drafts too, so that a draft made from the list is
// not suggested again), and the copies of customer orders not yet ordered: each a sum (%1
// names it, or is empty) over its rows (%2 picks them further).
const char *const onOrderSum =
    "SELECT sum(CASE WHEN l.[Ordered] - l.[Cancelled] > l.[Received] THEN l.[Ordered] - "
    "l.[Cancelled] - l.[Received] ELSE 0 END)%1 FROM [purchaselines] l JOIN [purchaseorders] o "
    "ON o.[OrderNo] = l.[OrderNo] WHERE o.[State] IN ('draft', 'sent', 'partly received')%2";
const char *const awaitedSum =
    "SELECT sum(c.[Qty])%1 FROM [customerorders] c WHERE c.[State] = 'requested'%2";

// A few titles' figures (%1 picks them), each title's sales summed through the index of sales
// by ISBN and day (sales are kept by ISBN): quick for one supplier's list or one title.
QString fewFiguresQuery(const QString &which) {
    return QStringLiteral("SELECT %1coalesce((%2), 0), coalesce((%3), 0), t.[Retail], "
                          "coalesce((SELECT sum(s.[Qty]) FROM [soldbook] s WHERE s.[ISBN] = "
                          "t.[ISBN] AND s.[SoldDate] >= ?2 AND s.[SoldDate] <= ?3), 0) FROM "
                          "[Titles] t WHERE %4 ORDER BY t.[Title], t.[BOOKNO]")
        .arg(QLatin1String(titleColumns),
             QString::fromLatin1(onOrderSum)
                 .arg(QString(), QStringLiteral(" AND l.[BOOKNO] = t.[BOOKNO]")),
             QString::fromLatin1(awaitedSum)
                 .arg(QString(), QStringLiteral(" AND c.[BOOKNO] = t.[BOOKNO]")),
             which);
}

// Every title's figures: the sales from the earliest first day on (?2) grouped by ISBN once,
// with one sum for each first day (`sums`), the open order lines and the customer orders
// grouped by title. Looking each title's sales up one by one took the server most of its time
// on a large shop. No order: the caller sorts the titles that want copies, far fewer than the
// titles a server would sort.
QString everyFiguresQuery(const QStringList &sums) {
    QStringList sold;
    for (int i = 0; i < sums.size(); ++i)
        sold << QStringLiteral("coalesce(w.[Sold%1], 0)").arg(i);
    return QStringLiteral(
               "SELECT %1coalesce(p.[OnOrder], 0), coalesce(c.[Awaited], 0), t.[Retail], %2 "
               "FROM [Titles] t LEFT JOIN (SELECT s.[ISBN], %3 FROM [soldbook] s WHERE "
               "s.[SoldDate] >= ?2 AND s.[SoldDate] <= ?3 GROUP BY s.[ISBN]) w ON w.[ISBN] = "
               "t.[ISBN] LEFT JOIN (%4) p ON p.[BOOKNO] = t.[BOOKNO] LEFT JOIN (%5) c ON "
               "c.[BOOKNO] = t.[BOOKNO] WHERE t.[Retail] IS NOT NULL AND t.[Retail] <> ?1")
        .arg(QLatin1String(titleColumns), sold.join(QStringLiteral(", ")),
             sums.join(QStringLiteral(", ")),
             QString::fromLatin1(onOrderSum)
                 .arg(QStringLiteral(" AS [OnOrder], l.[BOOKNO]"),
                      QStringLiteral(" GROUP BY l.[BOOKNO]")),
             QString::fromLatin1(awaitedSum)
                 .arg(QStringLiteral(" AS [Awaited], c.[BOOKNO]"),
                      QStringLiteral(" GROUP BY c.[BOOKNO]")));
}

// The row's title's suggestion, its sales read from column `sold`. Its texts are read only
// when `always` or when it wants copies, so that the titles left out cost little.
std::optional<Suggestion> suggestionOf(Statement &row, const ReorderDays &days, int sold,
                                       bool always) {
    Suggestion s;
    s.figures.onHand = row.value(3).toLongLong();
    s.figures.safe = row.value(4).toLongLong();
    s.figures.onOrder = row.value(6).toLongLong();
    s.figures.awaited = row.value(7).toLongLong();
    s.figures.sold = row.value(sold).toLongLong();
    s.quantity = suggestedQuantity(s.figures, days);
    if (s.quantity <= 0 && !always)
        return std::nullopt;
    s.bookNo = row.value(0).toLongLong();
    s.isbn = row.value(1).toString();
    s.title = row.value(2).toString();
    s.cost = Money::orZero(row.value(5));
    return s;
}

QVariantList windowOf(const ReorderDays &days, const QDate &today) {
    return {conv::isoDate(today.addDays(1 - days.window)), conv::isoDate(today)};
}

// A suggestion beside its title's UTF-8 bytes: in their order both engines sort texts (the
// order of the characters' numbers), so every list comes in the order of the list by itself.
struct Listed {
    QByteArray title;
    Suggestion suggestion;
};

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
    storedWork(session, {QStringLiteral("reordersettings")},
               QStringLiteral("The reorder days were not changed: %1."),
               [&](Connection &connection) {
                   connection.write(
                       QStringLiteral(
                           "INSERT INTO [reordersettings] ([Supplier], [WindowDays], [LeadDays], "
                           "[CoverDays]) VALUES (?1, ?2, ?3, ?4) ON CONFLICT ([Supplier]) DO "
                           "UPDATE SET [WindowDays] = excluded.[WindowDays], [LeadDays] = "
                           "excluded.[LeadDays], [CoverDays] = excluded.[CoverDays]"),
                       {supplier.trimmed(), days.window, days.lead, days.cover});
               });
}

std::vector<Suggestion> reorderSuggestions(Connection &connection, const QString &supplier,
                                           const QDate &today) {
    const ReorderDays days = reorderDays(connection, supplier);
    Statement select = connection.prepare(fewFiguresQuery(QStringLiteral("t.[Retail] = ?1")));
    select.bindAll(QVariantList{supplier} + windowOf(days, today));
    std::vector<Suggestion> list;
    while (select.step())
        if (auto s = suggestionOf(select, days, soldColumn, false))
            list.push_back(std::move(*s));
    return list;
}

std::vector<std::pair<QString, std::vector<Suggestion>>>
everyReorderSuggestion(Connection &connection, const QDate &today) {
    // Each supplier with days of its own counts its sales from its own first day, the others
    // from the shop's: one sum for each first day, the earliest of them bounding the sales read.
    const ReorderDays shopDays = reorderDays(connection, QString());
    std::map<QString, ReorderDays> own;
    Statement settings = connection.prepare(QStringLiteral(
        "SELECT [Supplier], [WindowDays], [LeadDays], [CoverDays] FROM [reordersettings] WHERE "
        "[Supplier] <> ''"));
    while (settings.step())
        own[settings.value(0).toString()] = {settings.value(1).toInt(), settings.value(2).toInt(),
                                             settings.value(3).toInt()};
    std::set<int> windows{shopDays.window};
    for (const auto &entry : own)
        windows.insert(entry.second.window);
    // ?1 the empty name, ?2 the earliest first day, ?3 today, then the later first days.
    QVariantList values{QString(), windowOf({*windows.rbegin()}, today).front(),
                        conv::isoDate(today)};
    QStringList sums;
    std::map<int, int> columnOf; // window -> its sum's column
    for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
        columnOf[*window] = soldColumn + static_cast<int>(sums.size());
        QString sum = QStringLiteral("sum(s.[Qty])");
        if (window != windows.rbegin()) {
            values << windowOf({*window}, today).front();
            sum = QStringLiteral("sum(CASE WHEN s.[SoldDate] >= ?%1 THEN s.[Qty] ELSE 0 END)")
                      .arg(values.size());
        }
        sums << QStringLiteral("%1 AS [Sold%2]").arg(sum).arg(sums.size());
    }
    Statement select = connection.prepare(everyFiguresQuery(sums));
    select.bindAll(values);
    std::map<QByteArray, std::pair<QString, std::vector<Listed>>> bySupplier;
    while (select.step()) {
        const QString supplier = select.value(8).toString();
        auto &[name, listed] = bySupplier[supplier.toUtf8()];
        name = supplier;
        const auto found = own.find(supplier);
        const ReorderDays &days = found == own.end() ? shopDays : found->second;
        if (auto s = suggestionOf(select, days, columnOf.at(days.window), false))
            listed.push_back({s->title.toUtf8(), std::move(*s)});
    }
    std::vector<std::pair<QString, std::vector<Suggestion>>> lists;
    for (auto &[key, supplier] : bySupplier) {
        auto &[name, listed] = supplier;
        std::sort(listed.begin(), listed.end(), [](const Listed &a, const Listed &b) {
            return a.title != b.title ? a.title < b.title
                                      : a.suggestion.bookNo < b.suggestion.bookNo;
        });
        std::vector<Suggestion> list;
        list.reserve(listed.size());
        for (Listed &l : listed)
            list.push_back(std::move(l.suggestion));
        lists.emplace_back(name, std::move(list));
    }
    return lists;
}

std::vector<SupplierWanting> suppliersWanting(Connection &connection, const QDate &today) {
    std::vector<SupplierWanting> wanting;
    for (const auto &[supplier, list] : everyReorderSuggestion(connection, today)) {
        SupplierWanting w{supplier, static_cast<qint64>(list.size()), 0};
        for (const Suggestion &s : list)
            w.copies += s.quantity;
        if (w.copies > 0)
            wanting.push_back(std::move(w));
    }
    std::stable_sort(
        wanting.begin(), wanting.end(),
        [](const SupplierWanting &a, const SupplierWanting &b) { return a.copies > b.copies; });
    return wanting;
}

Suggestion reorderSuggestion(Connection &connection, qint64 bookNo, const QDate &today) {
    const QString supplier =
        connection
            .scalar(QStringLiteral("SELECT [Retail] FROM [Titles] WHERE [BOOKNO] = ?1"), {bookNo})
            .toString();
    const ReorderDays days = reorderDays(connection, supplier);
    Statement select = connection.prepare(fewFiguresQuery(QStringLiteral("t.[BOOKNO] = ?1")));
    select.bindAll(QVariantList{bookNo} + windowOf(days, today));
    if (!select.step())
        throw DataError(QStringLiteral("The title %1 is no longer in the catalogue.").arg(bookNo));
    Suggestion s = *suggestionOf(select, days, soldColumn, true);
    select.step();
    return s;
}

} // namespace shop
