// The question asked before selling more copies than are in stock, and its text.
#include "stockquestion.h"

#include "errorpolicy.h"
#include "messageboxes.h"
#include "shopoperations.h"

namespace {

QString copies(qint64 count) {
    return count == 1 || count == -1 ? QStringLiteral("%1 copy").arg(count)
                                     : QStringLiteral("%1 copies").arg(count);
}

// What the catalogue holds and where the count ends.
QString question(const QString &title, qint64 inStock, qint64 selling) {
    const QString holds =
        inStock > 0 ? QStringLiteral("The catalogue has only %1 of \"%2\" in stock.")
                          .arg(copies(inStock), title)
                    : QStringLiteral("The catalogue has no copy of \"%1\" in stock (its count "
                                     "is %2).")
                          .arg(title)
                          .arg(inStock);
    return holds + QStringLiteral(" Selling %1 takes the count to %2.\n\nPress OK to sell them "
                                  "anyway (the count may be wrong), or Cancel to leave the sale "
                                  "unrecorded on the screen.")
                       .arg(copies(selling))
                       .arg(inStock - selling);
}

} // namespace

namespace stockquestion {

bool allows(ShopSession &session, MessageBoxes &messages, const SaleLine &sale) {
    std::optional<qint64> stock;
    policy::skipOnError([&] { stock = shop::stockOf(session, sale.bookNo); });
    if (!stock || sale.quantity <= 0 || *stock >= sale.quantity)
        return true;
    return messages.confirm(question(sale.title, *stock, sale.quantity));
}

} // namespace stockquestion
