// The shop's operations: sale, bill payment, bill listing for printing, top sellers.
#include "shopoperations.h"

#include "conversions.h"
#include "dataerror.h"
#include "serverroles.h"
#include "shopsession.h"
#include "shoptables.h"

#include <cmath>

namespace shop {

namespace {

// "INSERT INTO t ([a], [b]) <rows>": every column of `into` named, never by place; `rows`
// are VALUES or a SELECT.
template <std::size_t N>
QString insertInto(const char *into, const Column (&columns)[N], const QString &rows) {
    QStringList names;
    for (const Column &column : columns)
        names << column.sql();
    return QStringLiteral("INSERT INTO %1 (%2) %3").arg(into, names.join(", "), rows);
}

// "VALUES (?, ?)": a value to bind for each of `count` columns.
QString valuesToBind(std::size_t count) {
    return QStringLiteral("VALUES (%1)")
        .arg(QStringList(static_cast<qsizetype>(count), QStringLiteral("?")).join(", "));
}

// One row of a table, every column named, values in the columns' order.
template <std::size_t N>
qint64 insertRow(ShopSession &session, const char *table, const Column (&columns)[N],
                 const QVariantList &values) {
    qint64 rowid = 0;
    session.transact({table}, [&](Connection &connection) {
        Statement insert = connection.prepare(
            insertInto(table, columns, valuesToBind(N) + QStringLiteral(" RETURNING rowid")));
        insert.bindAll(values);
        insert.step();
        rowid = insert.value(0).toLongLong();
        insert.step();
    });
    return rowid;
}

QString titleGone(const SaleLine &sale) {
    return QStringLiteral("the title \"%1\" is no longer in the catalogue (it was deleted after "
                          "it was looked up)")
        .arg(sale.title);
}

// On a server a till may change stock and add sale rows only through the sale's function,
// which does both as the shop's owner after checking what it is given.
void bookSaleOnServer(Connection &connection, const SaleLine &sale, const QVariant &quantity,
                      const QDate &day, const QTime &time) {
    namespace S = tables::soldbook;
    Statement sell = connection.prepare(
        QStringLiteral("SELECT %1(CAST(? AS integer), CAST(? AS integer), CAST(? AS numeric), "
                       "CAST(? AS date), CAST(? AS time))")
            .arg(QLatin1String(serverroles::kBookSale)));
    // The price as its exact decimal text: the server's numeric takes it as it is.
    sell.bindAll({sale.bookNo, quantity, sale.price.text(),
                  conv::toStorage(S::SoldDate.kind, day, S::SoldDate),
                  conv::toStorage(S::SoldTime.kind, time, S::SoldTime)});
    const bool booked = sell.step() && sell.value(0).toLongLong() != 0;
    sell.step();
    if (!booked)
        throw DataError(titleGone(sale));
}

} // namespace

void bookSale(ShopSession &session, const SaleLine &sale, const QDate &day, const QTime &time) {
    namespace T = tables::Titles;
    namespace S = tables::soldbook;
    try {
        const QVariant quantity = QVariant(static_cast<qlonglong>(sale.quantity));
        session.transact({T::table, S::table}, [&](Connection &connection) {
            if (connection.isServer()) {
                bookSaleOnServer(connection, sale, quantity, day, time);
                return;
            }
            Statement update =
                connection.prepare(QStringLiteral("UPDATE %1 SET %2 = %2 - ? "
                                                  "WHERE %3 = ?")
                                       .arg(T::table, T::Qty.sql(), T::BOOKNO.sql()));
            update.bindAll({quantity, sale.bookNo});
            update.step();
            if (connection.changes() != 1)
                throw DataError(titleGone(sale));
            Statement insert = connection.prepare(
                insertInto(S::table, S::columns, valuesToBind(std::size(S::columns))));
            insert.bindAll(
                {conv::toStorage(S::SoldDate.kind, day, S::SoldDate),
                 conv::toStorage(S::SoldTime.kind, time, S::SoldTime), sale.isbn, sale.title,
                 conv::toStorage(S::Price.kind, sale.price.toDouble(), S::Price), quantity});
            insert.step();
        });
    } catch (const DataError &error) {
        QString why = error.sentence();
        if (why.endsWith(QLatin1Char('.')))
            why.chop(1);
        throw DataError(QStringLiteral("The sale was not recorded and the stock was not "
                                       "changed: %1.")
                            .arg(why),
                        error.details());
    }
}

std::optional<qint64> stockOf(ShopSession &session, qint64 bookNo) {
    namespace T = tables::Titles;
    const QVariant stock =
        session.connection().scalar(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                                        .arg(T::Qty.sql(), T::table, T::BOOKNO.sql()),
                                    {bookNo});
    const auto copies = conv::toNumber(stock);
    if (!copies)
        return std::nullopt;
    return static_cast<qint64>(std::llround(*copies));
}

qint64 putOnOffer(ShopSession &session, const Offer &offer) {
    namespace O = tables::onsale;
    const QVariantList values{offer.isbn,
                              conv::toStorage(O::OnSalePrice.kind, offer.price, O::OnSalePrice),
                              conv::toStorage(O::Begin.kind, offer.begin, O::Begin),
                              conv::toStorage(O::End.kind, offer.end, O::End)};
    return insertRow(session, O::table, O::columns, values);
}

qint64 recordInvoice(ShopSession &session, const Invoice &invoice) {
    namespace B = tables::Bill;
    const QVariantList values{
        invoice.number, conv::toStorage(B::InvoiceDate.kind, invoice.day, B::InvoiceDate),
        conv::toStorage(B::Fee.kind, invoice.fee, B::Fee),
        conv::toStorage(B::InvoiceTime.kind, invoice.time, B::InvoiceTime), invoice.supplier};
    return insertRow(session, B::table, B::columns, values);
}

void addDelivery(ShopSession &session, qint64 titleRowid, double copies) {
    namespace T = tables::Titles;
    const QVariant whole = conv::toStorage(T::Qty.kind, copies, T::Qty);
    session.transact({T::table}, [&](Connection &connection) {
        Statement update =
            connection.prepare(QStringLiteral("UPDATE %1 SET %2 = %2 + ? WHERE rowid = ?")
                                   .arg(T::table, T::Qty.sql()));
        update.bindAll({whole, titleRowid});
        update.step();
        if (connection.changes() != 1)
            throw DataError(QStringLiteral("The row could not be saved: another window has "
                                           "deleted it since it was read. Press Refresh to read "
                                           "the table again."));
    });
}

bool payBill(ShopSession &session, qint64 billRowid, const QDate &paidDay) {
    namespace B = tables::Bill;
    namespace P = tables::paidbill;
    bool paid = false;
    session.transact({P::table}, [&](Connection &connection) {
        // The bill leaves the open bills first: of two tills paying it at once, only the one
        // whose delete takes it writes a paid bill; the other finds it gone.
        Statement take = connection.prepare(
            QStringLiteral("DELETE FROM %1 WHERE rowid = ? RETURNING %2, %3, %4, %5, %6")
                .arg(B::table, B::InvoiceNo.sql(), B::InvoiceDate.sql(), B::Fee.sql(),
                     B::InvoiceTime.sql(), B::Retail.sql()));
        take.bindAll({billRowid});
        if (!take.step())
            return; // already paid or removed: nothing to do but show what is left
        QVariantList values;
        for (int column = 0; column < 5; ++column)
            values << take.value(column);
        values << conv::isoDate(paidDay);
        take.step();
        Statement store = connection.prepare(
            insertInto(P::table, P::columns, valuesToBind(std::size(P::columns))));
        store.bindAll(values);
        store.step();
        paid = true;
    });
    // The paid bill leaves the lists without reading them again; a bill that was already
    // gone means they are out of date.
    if (paid)
        session.rowRemoved(B::table, billRowid);
    else
        session.tablesChanged({B::table});
    return paid;
}

void clearBillListing(ShopSession &session) {
    session.transact({tables::tempPay::table}, [](Connection &connection) {
        connection.exec(QStringLiteral("DELETE FROM %1").arg(tables::tempPay::table));
    });
}

void copyBillListing(ShopSession &session, const QList<qint64> &billRowids,
                     const QString &supplier) {
    namespace B = tables::Bill;
    session.transact({tables::tempPay::table}, [&](Connection &connection) {
        connection.exec(QStringLiteral("DELETE FROM %1").arg(tables::tempPay::table));
        Statement copy = connection.prepare(
            insertInto(tables::tempPay::table, tables::tempPay::columns,
                       QStringLiteral("SELECT %1, %2, %3, %4, %5, ? FROM %6 WHERE rowid = ?")
                           .arg(B::InvoiceNo.sql(), B::InvoiceDate.sql(), B::Fee.sql(),
                                B::InvoiceTime.sql(), B::Retail.sql(), B::table)));
        for (const qint64 rowid : billRowids) {
            copy.bindAll({supplier, rowid});
            copy.step();
            copy.reset();
        }
    });
}

// One pass over the (ISBN, SoldDate, Qty) index gives each ISBN's copies and its first sale
// row; only then is that row's title fetched, one lookup per ISBN rather than per sale, and
// in the order the rows lie in the table so that each page is read once. On the file the
// unary + keeps SQLite from walking the date index instead, which would visit the table for
// every sale of the period. The upper bound comes first, as in the shop's period query. The
// copies are written as the shortest text of the number (7, never 7.0); a missing quantity
// counts none.
void buildTopSellers(ShopSession &session, const QDate &first, const QDate &last) {
    namespace S = tables::soldbook;
    namespace M = tables::tmp;
    session.transact({M::table}, [&](Connection &connection) {
        const bool server = connection.isServer();
        // Emptied inside the transaction: tmp ends up holding this summary and nothing else.
        connection.exec(QStringLiteral("DELETE FROM %1").arg(M::table));
        Statement fill = connection.prepare(
            QStringLiteral(
                "INSERT INTO %1 (%2, %3, %4)"
                " SELECT g.ISBN, s.%5, %10"
                " FROM (SELECT %6 AS ISBN, sum(%7) AS copies, min(rowid) AS firstSale FROM %8"
                "       WHERE %11%9 <= ? AND %11%9 >= ? GROUP BY %6 ORDER BY firstSale) AS g"
                " JOIN %8 AS s ON s.rowid = g.firstSale"
                " ORDER BY g.ISBN")
                .arg(M::table, M::A.sql(), M::B.sql(), M::C.sql(), S::Title.sql(), S::ISBN.sql(),
                     S::Qty.sql(), S::table, S::SoldDate.sql())
                .arg(server ? QStringLiteral("coalesce(g.copies, 0)::text")
                            : QStringLiteral("printf('%.15g', coalesce(g.copies, 0))"),
                     server ? QString() : QStringLiteral("+")));
        fill.bindAll({conv::isoDate(last), conv::isoDate(first)});
        fill.step();
    });
}

void clearTopSellers(ShopSession &session) {
    session.transact({tables::tmp::table}, [](Connection &connection) {
        connection.exec(QStringLiteral("DELETE FROM %1").arg(tables::tmp::table));
    });
}

} // namespace shop
