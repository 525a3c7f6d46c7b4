// What to reorder from a supplier: each title's sales per day over a window of days, times the
// days until a delivery arrives and the days it should last, plus its safe quantity, less what
// is on the shelf and on order, plus what customers ordered that the shop has not ordered yet.
// Nothing is ordered by itself: the operator edits the list and makes a draft order of it.
#pragma once

#include "money.h"

#include <QDate>
#include <QString>

#include <utility>
#include <vector>

class Connection;
class ShopSession;

// How far back sales count, how long the supplier takes and how many days an order covers.
struct ReorderDays {
    int window = 90;
    int lead = 14;
    int cover = 30;
    bool operator==(const ReorderDays &) const = default;
};

// What one title's suggestion is worked out from.
struct ReorderFigures {
    qint64 sold = 0;    // copies sold within the window
    qint64 safe = 0;    // SafeQty
    qint64 onHand = 0;  // Qty
    qint64 onOrder = 0; // still to come on open purchase orders
    qint64 awaited = 0; // copies of customer orders not yet ordered from a supplier
};

struct Suggestion {
    qint64 bookNo = 0;
    QString isbn, title;
    ReorderFigures figures;
    Money cost; // the title's purchase price
    qint64 quantity = 0;
};

namespace shop {

// sold / window x (lead + cover) + safe - on hand - on order + awaited, rounded up, never
// below 0. Worked in whole numbers, so that 0.1 of a copy too few is still one copy.
qint64 suggestedQuantity(const ReorderFigures &figures, const ReorderDays &days);

// The supplier's days, or the shop's when it has none of its own (the shop's own under the
// empty name, or 90, 14 and 30 days).
ReorderDays reorderDays(Connection &connection, const QString &supplier);
// Refused with a sentence when a number is out of range. An empty supplier sets the shop's.
void setReorderDays(ShopSession &session, const QString &supplier, const ReorderDays &days);

// The titles of the supplier (their Retail) that want copies, by title; those wanting none are
// left out. `today` is the window's last day. One statement for the whole list.
std::vector<Suggestion> reorderSuggestions(Connection &connection, const QString &supplier,
                                           const QDate &today);
// Every supplier's list at once, by supplier (as the titles name it), in one statement: each
// supplier's sales counted over its own window. Suppliers whose titles want nothing have an
// empty list.
std::vector<std::pair<QString, std::vector<Suggestion>>>
everyReorderSuggestion(Connection &connection, const QDate &today);
// A supplier with titles to reorder now: how many titles and copies its list would suggest.
struct SupplierWanting {
    QString supplier;
    qint64 titles = 0;
    qint64 copies = 0;
};
// The suppliers whose lists want copies, most copies first (then by name), from every list at
// once; for the operator to see whom to order from before going through the lists.
std::vector<SupplierWanting> suppliersWanting(Connection &connection, const QDate &today);

// The suggestion for one title of the catalogue, as the list would make it (quantity 0 and
// all when it wants none); for a title the operator adds to the list.
Suggestion reorderSuggestion(Connection &connection, qint64 bookNo, const QDate &today);

} // namespace shop
