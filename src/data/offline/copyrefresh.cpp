// The copy's refresh from the shop's Titles and onsale tables.
#include "copyrefresh.h"

#include "clock.h"
#include "connection.h"
#include "conversions.h"
#include "counterstart.h"
#include "tillcopy.h"

#include <QSet>

namespace offline {

bool refreshDue(TillCopy &copy, const QDateTime &at) {
    const std::optional<QDateTime> last = copy.lastRefresh();
    return !last || last->secsTo(at) >= refreshSeconds || at < *last;
}

namespace {

// The rows of a record-source text, each row's rowid first, in the shop's stored order.
Statement rowsOf(Connection &shop, const QString &text) {
    return shop.prepare(shop.dialect().recordSource(text).sql);
}

} // namespace

void refreshCopy(TillCopy &copy, Connection &shop, const QDateTime &at) {
    std::vector<CopiedTitle> titles;
    std::vector<CopiedOffer> offers;
    {
        Statement title = rowsOf(
            shop,
            QStringLiteral("SELECT BOOKNO, ISBN, Title, Author, [Sale Price], Qty FROM Titles"));
        while (title.step()) {
            if (title.value(2).isNull())
                continue; // a title without an ISBN cannot be scanned
            titles.push_back({title.value(1).toLongLong(), title.value(2).toString(),
                              title.value(3).toString(), title.value(4).toString(),
                              Money::fromValue(title.value(5)), title.value(6).toLongLong()});
        }
        // Only the first offer of an ISBN counts, and only when it has its price and both days.
        QSet<QString> seen;
        Statement offer = rowsOf(shop, QStringLiteral("onsale"));
        while (offer.step()) {
            const QString isbn = offer.value(1).toString();
            if (seen.contains(isbn))
                continue;
            seen.insert(isbn);
            const std::optional<Money> price = Money::fromValue(offer.value(2));
            const QDate begin = conv::parseDate(offer.value(3).toString());
            const QDate end = conv::parseDate(offer.value(4).toString());
            if (price && begin.isValid() && end.isValid())
                offers.push_back({isbn, *price, begin, end});
        }
    }
    // What the counter needs to open, so that a till started while the server is away sells.
    const CounterStart start = counterstart::read(shop);
    copy.replaceCatalogue(titles, offers, at);
    counterstart::keep(copy, start);
    copy.setLastContact(at);
}

bool refreshIfDue(TillCopy &copy, Connection &shop, const Clock &clock) {
    const QDateTime at = clock.now();
    if (!refreshDue(copy, at))
        return false;
    refreshCopy(copy, shop, at);
    return true;
}

} // namespace offline
