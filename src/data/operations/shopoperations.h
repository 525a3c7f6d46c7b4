// The shop's work that changes several rows or tables together, without widgets: each is one
// function on a screen's session, runs in one transaction and tells the session's record
// sets what changed. Each throws DataError, and then nothing of it is stored.
#pragma once

#include "dataerror.h"
#include "money.h"

#include <QDate>
#include <QString>
#include <QTime>
#include <QVariant>
#include <optional>

class Connection;
class ShopSession;

struct SaleLine {
    qint64 bookNo = 0; // the Titles row the sale is booked against
    QString isbn;
    QString title;
    Money price; // unit price charged
    qint64 quantity = 0;
};

namespace shop {

// The error an operation throws when its work was not stored: `lead` ("The sale was not
// recorded ...: %1.") with the engine's reason in place of %1, the error's kind and details
// kept.
DataError notStored(const QString &lead, const DataError &error);
// "1 copy", "2 copies" ...
QString copiesText(qint64 n);

// Lowers Titles.Qty by the quantity on the stored value (another window may have sold
// copies since the lookup) and appends the soldbook row. The DataError says why the sale
// was not recorded.
void bookSale(ShopSession &session, const SaleLine &sale, const QDate &day, const QTime &time);
// The copies the catalogue holds of the title stored at `bookNo` now; nullopt when it is gone
// or its count is empty.
std::optional<qint64> stockOf(ShopSession &session, qint64 bookNo);

struct Offer {
    QString isbn;
    double price = 0;
    QDate begin, end; // first and last day, both included
};
// Writes the offer; returns where it is stored.
qint64 putOnOffer(ShopSession &session, const Offer &offer);

struct Invoice {
    QString number;
    QDate day;
    QString fee; // as typed: empty for none; text that is no amount is refused
    QTime time;
    QString supplier;
};
// Writes the supplier's invoice as an open bill; returns where it is stored.
qint64 recordInvoice(ShopSession &session, const Invoice &invoice);

// Adds the copies of a delivery to the stock of the title stored at `titleRowid`, on the
// stored value (a sale since the title was read counts). Copies must be a whole number.
void addDelivery(ShopSession &session, qint64 titleRowid, double copies);
// The one change of stock every delivery makes, inside the caller's transaction: the copies
// added to the stored Qty of the title (its rowid is its BOOKNO). False when the title is gone.
bool addCopies(Connection &connection, qint64 bookNo, const QVariant &copies);

// Moves the open bill stored at `billRowid` to paidbill with the day it was paid; refused
// (DataError) while the bill is held for the office's approval. False when
// it is no longer among the open bills (paid or removed from another window): nothing is
// paid then, and the session's lists of bills are read again.
bool payBill(ShopSession &session, qint64 billRowid, const QDate &paidDay);

// Empties tempPay, then copies the bills stored at these rows into it, each with the name of
// the supplier the listing was made for: the report prints the whole listing or none of it.
void clearBillListing(ShopSession &session);
void copyBillListing(ShopSession &session, const QList<qint64> &billRowids,
                     const QString &supplier);

// Fills tmp with each ISBN sold from `first` to `last` (both included): ISBN, title of its
// first sale, copies sold, in ISBN order. tmp holds this summary and nothing else after.
void buildTopSellers(ShopSession &session, const QDate &first, const QDate &last);
void clearTopSellers(ShopSession &session);

} // namespace shop
