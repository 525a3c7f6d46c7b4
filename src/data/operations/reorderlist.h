// The reorder list the office edits before ordering: a supplier's suggestions kept in this
// computer's own scratch rows (another login's list is never seen), where the operator changes
// a quantity, drops a line or adds a title, and then makes a draft purchase order of it.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

class ShopSession;

namespace shop {

// The list holds the supplier's suggestions now, and nothing else.
void fillReorderList(ShopSession &session, const QString &supplier, const QDate &today);
// Adds the title as the list would suggest it, with at least 1 copy to order; refused when the
// title is on the list already.
void addToReorderList(ShopSession &session, const QString &supplier, qint64 bookNo,
                      const QDate &today);
// A draft order to the list's supplier of the lines with copies to order; the list is emptied
// in the same transaction. Refused when no line has a quantity. Returns the order's number.
qint64 orderReorderList(ShopSession &session, const QDateTime &at);

} // namespace shop
