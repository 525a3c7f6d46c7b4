// Bills checked against deliveries, in statements of the shop's form that both engines take.
// A bill is matched by its five columns with IS NOT DISTINCT FROM, so that an empty fee or
// number matches as it was stored.
#include "invoicechecks.h"

#include "connection.h"
#include "conversions.h"
#include "dataerror.h"
#include "engine.h"
#include "refusablework.h"
#include "shopsession.h"
#include "shoptables.h"
#include "sqlbuilder.h"

#include <cmath>

namespace shop {

namespace {

const char *kHeldBill =
    "SELECT h.[Hold], h.[Expected], b.[Invoice No], b.[Retail] FROM [Bill] b JOIN "
    "[invoiceholds] h ON h.[InvoiceNo] IS NOT DISTINCT FROM b.[Invoice No] AND h.[InvoiceDate] "
    "IS NOT DISTINCT FROM b.[Invoice Date] AND h.[Fee] IS NOT DISTINCT FROM b.[Fee] AND "
    "h.[InvoiceTime] IS NOT DISTINCT FROM b.[Invoice Time] AND h.[Retail] IS NOT DISTINCT FROM "
    "b.[Retail] WHERE b.rowid = ?1 AND h.[ApprovedAt] IS NULL ORDER BY h.[Hold]";

} // namespace

Money invoiceTolerance(Connection &connection) {
    const QVariant amount = connection.scalar(
        QStringLiteral("SELECT [Amount] FROM [purchasesettings] WHERE [Setting] = "
                       "'InvoiceTolerance'"));
    return amount.isValid() && !amount.isNull() ? Money::orZero(amount) : Money::fromUnits(10000);
}

void setInvoiceTolerance(ShopSession &session, const Money &tolerance) {
    if (tolerance < Money())
        throw DataError(QStringLiteral("The tolerance cannot be below 0."));
    session.transact({QStringLiteral("purchasesettings")}, [&](Connection &connection) {
        connection.write(QStringLiteral("INSERT INTO [purchasesettings] ([Setting], [Amount]) "
                                        "VALUES ('InvoiceTolerance', ?1) ON CONFLICT ([Setting]) "
                                        "DO UPDATE SET [Amount] = excluded.[Amount]"),
                         {tolerance.toDouble()});
    });
}

InvoiceCheck invoiceCheck(Connection &connection, const QString &supplier) {
    Statement select = connection.prepare(QStringLiteral(
        "SELECT l.[Entry], l.[Delivery], d.[ReceivedAt], coalesce(t.[ISBN], ''), "
        "coalesce(t.[Title], ''), l.[Copies] - l.[Invoiced], l.[Cost] FROM [deliverylines] l "
        "JOIN [deliveries] d ON d.[Delivery] = l.[Delivery] LEFT JOIN [Titles] t ON t.[BOOKNO] = "
        "l.[BOOKNO] WHERE d.[Supplier] = ?1 AND l.[Copies] > l.[Invoiced] ORDER BY l.[Entry]"));
    select.bindAll({supplier.trimmed()});
    InvoiceCheck check;
    qint64 units = 0;
    while (select.step()) {
        UninvoicedLine line{select.value(0).toLongLong(),
                            select.value(1).toLongLong(),
                            conv::parseMoment(select.value(2).toString()).date(),
                            select.value(3).toString(),
                            select.value(4).toString(),
                            select.value(5).toLongLong(),
                            Money::orZero(select.value(6))};
        units += line.cost.units() * line.copies;
        check.copies += line.copies;
        check.lines.push_back(std::move(line));
    }
    check.expected = Money::fromUnits(units);
    return check;
}

CheckedInvoice recordCheckedInvoice(ShopSession &session, const Invoice &invoice,
                                    const QDateTime &at) {
    namespace B = tables::Bill;
    const std::optional<double> fee =
        invoice.fee.trimmed().isEmpty() ? std::optional<double>(0) : conv::parseMoney(invoice.fee);
    if (!fee)
        throw DataError(QStringLiteral("The fee \"%1\" is not a number.").arg(invoice.fee));
    CheckedInvoice result;
    refusableWork(
        session,
        {B::table, QStringLiteral("invoiceholds"), QStringLiteral("deliverylines"),
         QStringLiteral("purchaselines")},
        QStringLiteral("The invoice was not recorded: %1."),
        [&](Connection &connection) {
            result = {};
            Statement bill = connection.prepare(
                sqlb::insert(B::table, columnNames(B::columns)).returningRowid());
            bill.bindAll({invoice.number,
                          conv::toStorage(B::InvoiceDate.kind, invoice.day, B::InvoiceDate),
                          conv::toStorage(B::Fee.kind, invoice.fee, B::Fee),
                          conv::toStorage(B::InvoiceTime.kind, invoice.time, B::InvoiceTime),
                          invoice.supplier});
            bill.step();
            result.billRowid = bill.value(0).toLongLong();
            bill.step();
            result.checked =
                connection
                    .scalar(QStringLiteral("SELECT (SELECT count(*) FROM [purchaseorders] "
                                           "WHERE [Supplier] = ?1) + (SELECT count(*) FROM "
                                           "[deliveries] WHERE [Supplier] = ?1)"),
                            {invoice.supplier.trimmed()})
                    .toLongLong() > 0;
            if (!result.checked)
                return;
            const InvoiceCheck check = invoiceCheck(connection, invoice.supplier);
            result.expected = check.expected;
            result.nothingReceived = check.lines.empty();
            // Each line is invoiced as it was read: a bill of the same supplier recorded at
            // another computer meanwhile leaves it changed, and this one is tried again.
            Statement invoiced = connection.prepare(QStringLiteral(
                "UPDATE [deliverylines] SET [Invoiced] = [Copies] WHERE [Entry] = ?1 AND "
                "[Copies] - [Invoiced] = ?2 RETURNING [Line]"));
            Statement onOrder = connection.prepare(QStringLiteral(
                "UPDATE [purchaselines] SET [Invoiced] = [Invoiced] + ?2 WHERE [Line] = ?1"));
            for (const UninvoicedLine &line : check.lines) {
                invoiced.bindAll({line.entry, line.copies});
                if (!invoiced.step())
                    throw Refusal(QStringLiteral("another computer recorded a bill of %1 at the "
                                                 "same moment; record this one again")
                                      .arg(invoice.supplier));
                const QVariant orderLine = invoiced.value(0);
                invoiced.step();
                invoiced.reset();
                if (!orderLine.isNull())
                    onOrder.run({orderLine, line.copies});
            }
            const qint64 difference =
                Money::fromDouble(*fee).value_or(Money()).units() - check.expected.units();
            result.held = std::llabs(difference) > invoiceTolerance(connection).units();
            if (!result.held)
                return;
            // The hold copies the bill's columns as they were stored.
            connection.write(
                QStringLiteral(
                    "INSERT INTO [invoiceholds] ([InvoiceNo], [InvoiceDate], [Fee], [InvoiceTime], "
                    "[Retail], [Expected], [HeldAt]) SELECT [Invoice No], [Invoice Date], [Fee], "
                    "[Invoice Time], [Retail], ?2, ?3 FROM [Bill] WHERE rowid = ?1"),
                {result.billRowid, check.expected.toDouble(), conv::isoMoment(at)});
        },
        QStringLiteral("The invoice was not recorded: %1."));
    return result;
}

std::optional<BillHold> billHold(Connection &connection, qint64 billRowid) {
    if (connection.columnsOf(QStringLiteral("invoiceholds")).empty())
        return std::nullopt; // a shop older than bills checked against deliveries
    Statement select = connection.prepare(QLatin1String(kHeldBill));
    select.bindAll({billRowid});
    if (!select.step())
        return std::nullopt;
    BillHold hold{select.value(0).toLongLong(), Money::orZero(select.value(1)),
                  select.value(2).toString(), select.value(3).toString()};
    while (select.step()) {
    }
    return hold;
}

QString heldBillMessage(const BillHold &hold) {
    return QStringLiteral("Bill %1 of %2 is held for the office's approval: its amount differs "
                          "from the cost of what was delivered (%3) by more than the shop's "
                          "tolerance. It can be paid once it is approved in Held Bills.")
        .arg(hold.invoiceNo, hold.supplier, hold.expected.text());
}

bool approveHold(ShopSession &session, qint64 hold, const QDateTime &at) {
    bool approved = false;
    session.transact({QStringLiteral("invoiceholds")}, [&](Connection &connection) {
        approved = connection.write(
                       QStringLiteral("UPDATE [invoiceholds] SET [ApprovedAt] = ?2, "
                                      "[ApprovedBy] = ?3 WHERE [Hold] = ?1 AND "
                                      "[ApprovedAt] IS NULL"),
                       {hold, conv::isoMoment(at), connection.dialect().login(connection)}) == 1;
    });
    return approved;
}

} // namespace shop
