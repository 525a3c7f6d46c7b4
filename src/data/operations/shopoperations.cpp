// The shop's operations: sale, bill payment, bill listing for printing, top sellers.
#include "shopoperations.h"

#include "conversions.h"
#include "dataerror.h"
#include "invoicechecks.h"
#include "refusablework.h"
#include "shopsession.h"
#include "shoptables.h"
#include "sqlbuilder.h"
#include "sqldialect.h"

#include <cmath>

namespace shop {

namespace {

// One row of a table, every column named, values in the columns' order.
qint64 insertRow(ShopSession &session, const char *table, std::span<const Column> columns,
                 const QVariantList &values) {
    qint64 rowid = 0;
    session.transact({table}, [&](Connection &connection) {
        Statement insert =
            connection.prepare(sqlb::insert(table, columnNames(columns)).returningRowid());
        insert.bindAll(values);
        insert.step();
        rowid = insert.value(0).toLongLong();
        insert.step();
    });
    return rowid;
}

// A bill's columns, in the order both the open and the paid bills begin with them.
QStringList billColumns() {
    namespace B = tables::Bill;
    return {B::InvoiceNo, B::InvoiceDate, B::Fee, B::InvoiceTime, B::Retail};
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
    storedWork(session, {T::table, S::table},
               QStringLiteral("The sale was not recorded and the stock was not changed: %1."),
               [&](Connection &connection) {
                   // Each statement does its part, or the title is gone (deleted since it was
                   // looked up): a row with a true first value, or else exactly one row changed.
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
}

QString copiesText(qint64 n) {
    return n == 1 ? QStringLiteral("1 copy") : QStringLiteral("%1 copies").arg(n);
}

DataError notStored(const QString &lead, const DataError &error) {
    QString why = error.sentence();
    if (why.endsWith(QLatin1Char('.')))
        why.chop(1);
    return DataError(error.kind(), lead.arg(why), error.details());
}

std::optional<qint64> stockOf(ShopSession &session, qint64 bookNo) {
    namespace T = tables::Titles;
    const QVariant stock =
        session.connection().scalar(sqlb::select(T::table, {T::Qty}).where(T::BOOKNO), {bookNo});
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
        if (!addCopies(connection, titleRowid, whole))
            throw DataError(QStringLiteral("The row could not be saved: another window has "
                                           "deleted it since it was read. Press Refresh to read "
                                           "the table again."));
    });
}

bool addCopies(Connection &connection, qint64 bookNo, const QVariant &copies) {
    namespace T = tables::Titles;
    return connection.write(sqlb::update(T::table).add(T::Qty).whereRowid(), {copies, bookNo}) == 1;
}

bool payBill(ShopSession &session, qint64 billRowid, const QDate &paidDay) {
    namespace B = tables::Bill;
    namespace P = tables::paidbill;
    bool paid = false;
    session.transact({P::table}, [&](Connection &connection) {
        // A bill held for the office's approval stays open until it is approved.
        if (const std::optional<BillHold> hold = billHold(connection, billRowid))
            throw DataError(heldBillMessage(*hold));
        // The bill leaves the open bills first: of two tills paying it at once, only the one
        // whose delete takes it writes a paid bill; the other finds it gone.
        Statement take =
            connection.prepare(sqlb::remove(B::table).whereRowid().returning(billColumns()));
        take.bindAll({billRowid});
        if (!take.step())
            return; // already paid or removed: nothing to do but show what is left
        QVariantList values;
        for (int column = 0; column < 5; ++column)
            values << take.value(column);
        values << conv::isoDate(paidDay);
        take.step();
        connection.write(sqlb::insert(P::table, columnNames(P::columns)), values);
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
        connection.exec(sqlb::remove(tables::tempPay::table));
    });
}

void copyBillListing(ShopSession &session, const QList<qint64> &billRowids,
                     const QString &supplier) {
    namespace L = tables::tempPay;
    session.transact({L::table}, [&](Connection &connection) {
        connection.exec(sqlb::remove(L::table));
        Statement copy = connection.prepare(sqlb::insertSelect(L::table, columnNames(L::columns),
                                                               tables::Bill::table, billColumns())
                                                .whereRowid());
        for (const qint64 rowid : billRowids)
            copy.run({supplier, rowid});
    });
}

// The dialect's summary (SqlDialect::topSellers) of the period, first day to last.
void buildTopSellers(ShopSession &session, const QDate &first, const QDate &last) {
    namespace M = tables::tmp;
    session.transact({M::table}, [&](Connection &connection) {
        // Emptied inside the transaction: tmp ends up holding this summary and nothing else.
        connection.exec(sqlb::remove(M::table));
        const std::vector<EngineSql> &steps = connection.dialect().topSellers();
        for (std::size_t i = 0; i + 1 < steps.size(); ++i)
            connection.exec(steps[i]);
        Statement fill = connection.prepare(steps.back());
        fill.bindAll({conv::isoDate(last), conv::isoDate(first)});
        fill.step();
    });
}

void clearTopSellers(ShopSession &session) {
    session.transact({tables::tmp::table}, [](Connection &connection) {
        connection.exec(sqlb::remove(tables::tmp::table));
    });
}

} // namespace shop
