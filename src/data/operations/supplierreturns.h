// Returns to suppliers: copies of a delivery not yet sold go back before the supplier's return
// deadline. Sales count against deliveries oldest first, so the copies on the shelf are those
// of the newest deliveries. A return lowers the stock, records the credit the shop expects,
// and the supplier's credit notes (a table of their own) lower what the shop has to pay.
#pragma once

#include "money.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class Connection;
class ShopSession;

// Copies of one delivery line that may still go back.
struct Returnable {
    qint64 entry = 0; // the delivery line
    qint64 delivery = 0;
    QString supplier;
    QDate returnBy;
    qint64 bookNo = 0;
    QString isbn, title;
    qint64 unsold = 0; // of this delivery, on the shelf and not set aside for customers
    Money cost;        // each copy's
};

struct ReturnedCopies {
    qint64 entry = 0; // the delivery line they came in
    qint64 copies = 0;
};

struct ReturnNote {
    QString supplier;
    std::vector<ReturnedCopies> lines;
    QDateTime at;
};

// What the supplier owes back and what it has credited.
struct SupplierCredit {
    Money expected; // the credit of the returns made
    Money noted;    // the credit notes received
};

namespace shop {

// The delivery lines whose return deadline falls from today to `days` ahead with unsold
// copies, the soonest deadline first; of one supplier, or of all when it is empty.
std::vector<Returnable> returnDeadlines(Connection &connection, const QDate &today, int days,
                                        const QString &supplier = {});

// A sentence for each line returned after its delivery's deadline; empty when none is.
QStringList returnWarnings(Connection &connection, const ReturnNote &note, const QDate &today);

// Makes the return in one transaction: the stock lowers, the delivery lines count their copies
// returned, the credit expected is recorded. Refused with a sentence: no lines, copies below 1,
// more copies than the delivery has left or than are free in stock, a line of another
// supplier; and, without `warningsAccepted`, a line past its deadline. Returns its number.
qint64 makeReturn(ShopSession &session, const ReturnNote &note, const QDate &today,
                  bool warningsAccepted);

// The supplier's credit note; refused when the amount is not above 0, or the supplier has a
// note of that number already.
void recordCreditNote(ShopSession &session, const QString &supplier, const QString &number,
                      const QDate &day, const Money &amount, qint64 returnNo = 0);
SupplierCredit supplierCredit(Connection &connection, const QString &supplier);

} // namespace shop
