// The counter's receipts, read and stored through the session's connection.
#include "receipts.h"

#include "connection.h"
#include "conversions.h"
#include "dataerror.h"
#include "refunds.h"
#include "refusablework.h"
#include "shopsession.h"
#include "shoptables.h"
#include "tillsessions.h"
#include "versioncheck.h"

namespace shop {

MethodKind kindOf(const QString &kind) {
    if (kind == QLatin1String("cash"))
        return MethodKind::Cash;
    if (kind == QLatin1String("card"))
        return MethodKind::Card;
    return MethodKind::Other;
}

PaymentSettings paymentSettings(Connection &connection) {
    PaymentSettings settings;
    if (versioncheck::read(connection).number < receiptsVersion)
        return settings;
    Statement select =
        connection.prepare(QStringLiteral("SELECT [Setting], [Value] FROM [shopsettings]"));
    while (select.step()) {
        const QString setting = select.value(0).toString(), value = select.value(1).toString();
        if (setting == QLatin1String("Payments"))
            settings.paymentsOn = value == QLatin1String("on");
        else if (setting == QLatin1String("CashRounding"))
            settings.rounding = value == QLatin1String("0.05")   ? CashRounding::FiveCents
                                : value == QLatin1String("0.10") ? CashRounding::TenCents
                                                                 : CashRounding::None;
    }
    return settings;
}

void addCounterDefaults(Connection &connection, bool oneTill) {
    connection.exec(QStringLiteral("INSERT INTO [paymentmethods] ([Name], [Kind]) VALUES ('Cash', "
                                   "'cash'), ('Card', 'card') ON CONFLICT DO NOTHING"));
    connection.exec(QStringLiteral("INSERT INTO [shopsettings] ([Setting], [Value]) VALUES "
                                   "('Payments', 'off'), ('CashRounding', 'none') ON CONFLICT DO "
                                   "NOTHING"));
    if (oneTill)
        connection.exec(QStringLiteral("INSERT INTO [tills] ([Name], [Prefix]) SELECT 'Till 1', "
                                       "'A' WHERE NOT EXISTS (SELECT 1 FROM [tills])"));
    if (versioncheck::read(connection).number >= sessionsVersion) {
        Statement reason = connection.prepare(QStringLiteral(
            "INSERT INTO [refundreasons] ([Name]) VALUES (?1) ON CONFLICT DO NOTHING"));
        for (const QString &name : startingRefundReasons())
            reason.run({name});
    }
}

void setPaymentsOn(Connection &connection, bool on) {
    connection.write(
        QStringLiteral("INSERT INTO [shopsettings] ([Setting], [Value]) VALUES ('Payments', ?1) "
                       "ON CONFLICT ([Setting]) DO UPDATE SET [Value] = excluded.[Value]"),
        {on ? QStringLiteral("on") : QStringLiteral("off")});
}

std::optional<Till> thisTill(Connection &connection) {
    Statement select = connection.prepare(connection.dialect().thisTill());
    if (!select.step())
        return std::nullopt;
    Till till{select.value(0).toLongLong(), select.value(1).toString(), select.value(2).toString()};
    select.step();
    return till;
}

std::vector<PaymentMethod> paymentMethods(Connection &connection) {
    Statement select = connection.prepare(
        QStringLiteral("SELECT [Method], [Name], [Kind] FROM [paymentmethods] WHERE [Removed] = 0 "
                       "ORDER BY CASE [Kind] WHEN 'cash' THEN 0 WHEN 'card' THEN 1 ELSE 2 END, "
                       "[Name], [Method]"));
    std::vector<PaymentMethod> methods;
    while (select.step())
        methods.push_back({select.value(0).toLongLong(), select.value(1).toString(),
                           kindOf(select.value(2).toString())});
    return methods;
}

StoredReceipt storeReceipt(ShopSession &session, const ReceiptRecord &receipt) {
    StoredReceipt stored;
    storedWork(session, {tables::Titles::table, tables::soldbook::table},
               QStringLiteral("The receipt was not stored, and nothing of this step changed: %1."),
               [&](Connection &connection) {
                   stored = connection.dialect().storeReceipt(connection, receipt);
               });
    return stored;
}

std::vector<UnpaidReceipt> unpaidReceipts(Connection &connection, qint64 till) {
    // A voided line is neither counted nor paid for; a receipt whose every line is voided is
    // done with.
    const bool voids = versioncheck::read(connection).number >= sessionsVersion;
    Statement select = connection.prepare(
        QStringLiteral(
            "SELECT r.[Receipt], r.[Readable], r.[Opened], l.[Price], l.[Qty] FROM [receipts] r "
            "JOIN [receiptlines] l ON l.[Receipt] = r.[Receipt] WHERE r.[Till] = ?1 AND r.[Paid] "
            "IS NULL %1 ORDER BY r.[Opened], r.[Number], l.[Line]")
            .arg(voids ? QStringLiteral("AND NOT EXISTS (SELECT 1 FROM [voidlines] w WHERE "
                                        "w.[Receipt] = l.[Receipt] AND w.[Line] = l.[Line])")
                       : QString()));
    select.bindAll({till});
    std::vector<UnpaidReceipt> receipts;
    while (select.step()) {
        const QString id = select.value(0).toString();
        if (receipts.empty() || receipts.back().id != id)
            receipts.push_back({id, select.value(1).toString(),
                                conv::parseMoment(select.value(2).toString()), 0, Money()});
        receipts.back().lines += 1;
        receipts.back().total += Money::orZero(select.value(3)).times(select.value(4).toLongLong());
    }
    return receipts;
}

std::pair<ReceiptRecord, StoredReceipt> readReceipt(Connection &connection, const QString &id) {
    ReceiptRecord record;
    StoredReceipt stored;
    record.id = id;
    Statement header = connection.prepare(QStringLiteral(
        "SELECT [Number], [Readable], [Opened], [Paid] FROM [receipts] WHERE [Receipt] = ?1"));
    header.bindAll({id});
    if (!header.step())
        throw DataError(QStringLiteral("The receipt is no longer in the shop."));
    stored = {header.value(0).toLongLong(), header.value(1).toString(), !header.value(3).isNull()};
    record.opened = conv::parseMoment(header.value(2).toString());
    header.step();
    Statement lines = connection.prepare(
        QStringLiteral("SELECT [Line], [BOOKNO], [ISBN], [Title], [Price], [Qty], [SoldDate], "
                       "[SoldTime] FROM [receiptlines] WHERE [Receipt] = ?1 ORDER BY [Line]"));
    lines.bindAll({id});
    while (lines.step())
        record.lines.push_back({lines.value(0).toInt(), lines.value(1).toLongLong(),
                                lines.value(2).toString(), lines.value(3).toString(),
                                Money::orZero(lines.value(4)), lines.value(5).toLongLong(),
                                conv::parseDate(lines.value(6).toString()),
                                conv::parseTime(lines.value(7).toString())});
    Statement payments = connection.prepare(
        QStringLiteral("SELECT [Payment], [Method], [Amount], [Tendered], [Given], [PaidAt] FROM "
                       "[payments] WHERE [Receipt] = ?1 ORDER BY [Payment]"));
    payments.bindAll({id});
    while (payments.step())
        record.payments.push_back(
            {payments.value(0).toInt(), payments.value(1).toLongLong(),
             Money::orZero(payments.value(2)), Money::orZero(payments.value(3)),
             Money::orZero(payments.value(4)), conv::parseMoment(payments.value(5).toString())});
    const QVariant rounding = connection.scalar(
        QStringLiteral("SELECT [Amount] FROM [receiptrounding] WHERE [Receipt] = ?1"), {id});
    if (rounding.isValid() && !rounding.isNull())
        record.rounding = Money::orZero(rounding);
    return {record, stored};
}

} // namespace shop
