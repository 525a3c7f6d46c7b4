// The shop's operations: sale, bill payment, bill listing for printing, top sellers.
#include "shopoperations.h"

#include "conversions.h"
#include "dataerror.h"
#include "shopsession.h"
#include "shoptables.h"
#include "sqldialect.h"

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

// The value of the sale a statement of the dialect's booking asks for.
QVariant saleValue(SaleValue value, const SaleLine &sale, const QDate &day, const QTime &time) {
    namespace S = tables::soldbook;
    switch (value) {
    case SaleValue::BookNo:
        return sale.bookNo;
    case SaleValue::Quantity:
        return QVariant(static_cast<qlonglong>(sale.quantity));
    case SaleValue::Price:
        return conv::toStorage(S::Price.kind, sale.price.toDouble(), S::Price);
    case SaleValue::PriceText:
        return sale.price.text();
    case SaleValue::Day:
        return conv::toStorage(S::SoldDate.kind, day, S::SoldDate);
    case SaleValue::Time:
        return conv::toStorage(S::SoldTime.kind, time, S::SoldTime);
    case SaleValue::Isbn:
        return sale.isbn;
    case SaleValue::Title:
        return sale.title;
    }
    return QVariant();
}

} // namespace

void bookSale(ShopSession &session, const SaleLine &sale, const QDate &day, const QTime &time) {
    namespace T = tables::Titles;
    namespace S = tables::soldbook;
    try {
        session.transact({T::table, S::table}, [&](Connection &connection) {
            // Each statement does its part, or the title is gone (deleted since it was looked
            // up): a row with a true first value, or else exactly one row changed.
            for (const SaleStatement &part : connection.dialect().bookSale()) {
                Statement statement = connection.prepare(part.sql);
                for (std::size_t i = 0; i < part.values.size(); ++i)
                    statement.bind(static_cast<int>(i) + 1,
                                   saleValue(part.values[i], sale, day, time));
                bool done = false;
                if (statement.step()) {
                    done = statement.value(0).toLongLong() != 0;
                    statement.step(); // the end of the result
                } else {
                    done = connection.changes() == 1;
                }
                if (!done)
                    throw DataError(titleGone(sale));
            }
        });
    } catch (const DataError &error) {
        QString why = error.sentence();
        if (why.endsWith(QLatin1Char('.')))
            why.chop(1);
        throw DataError(error.kind(),
                        QStringLiteral("The sale was not recorded and the stock was not "
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

// The dialect's summary (SqlDialect::topSellers) of the period, first day to last.
void buildTopSellers(ShopSession &session, const QDate &first, const QDate &last) {
    namespace M = tables::tmp;
    session.transact({M::table}, [&](Connection &connection) {
        // Emptied inside the transaction: tmp ends up holding this summary and nothing else.
        connection.exec(QStringLiteral("DELETE FROM %1").arg(M::table));
        Statement fill = connection.prepare(connection.dialect().topSellers());
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
