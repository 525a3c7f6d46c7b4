// A till's sessions in a shop file: opened once per till by the partial unique index, cash
// moved in and out of an open one, closed by storing the Z report its figures come to then.
#include "filetill.h"

#include "connection.h"
#include "conversions.h"
#include "dataerror.h"
#include "systemuser.h"

namespace filetill {

DataError refused(const QString &why) {
    return DataError(DataError::Kind::Other, why);
}

qint64 thisTill(Connection &connection) {
    const QVariant till =
        connection.scalar(QStringLiteral("SELECT [Till] FROM [tills] ORDER BY [Till] LIMIT 1"));
    if (!till.isValid())
        throw refused(QStringLiteral("the shop has no till: register one under Tills"));
    return till.toLongLong();
}

bool paymentsOn(Connection &connection) {
    return connection
               .scalar(QStringLiteral("SELECT [Value] FROM [shopsettings] WHERE [Setting] = "
                                      "'Payments'"))
               .toString() == QLatin1String("on");
}

std::optional<qint64> openSessionOf(Connection &connection, qint64 till) {
    const QVariant session = connection.scalar(
        QStringLiteral("SELECT [Session] FROM [tillsessions] WHERE [Till] = ?1 AND [Closed] IS "
                       "NULL"),
        {till});
    if (!session.isValid())
        return std::nullopt;
    return session.toLongLong();
}

void requireOpenSession(Connection &connection, qint64 session) {
    Statement select = connection.prepare(
        QStringLiteral("SELECT [Till], [Closed] FROM [tillsessions] WHERE [Session] = ?1"));
    select.bindAll({session});
    if (!select.step())
        throw refused(QStringLiteral("there is no session %1 in this shop").arg(session));
    const qint64 till = select.value(0).toLongLong();
    const bool closed = !select.value(1).isNull();
    select.step();
    if (till != thisTill(connection))
        throw refused(QStringLiteral("the session %1 is another till's").arg(session));
    if (closed)
        throw refused(QStringLiteral("the session %1 is closed").arg(session));
}

const QString &totalsSql() {
    static const QString sql = QStringLiteral(
        "SELECT (SELECT count(*) FROM [receiptsessions] s WHERE s.[Session] = ?1 AND EXISTS "
        "(SELECT 1 FROM [receiptlines] l WHERE l.[Receipt] = s.[Receipt])), "
        "(SELECT total(l.[Price] * l.[Qty]) FROM [receiptsessions] s JOIN [receiptlines] l ON "
        "l.[Receipt] = s.[Receipt] WHERE s.[Session] = ?1), "
        "(SELECT count(*) FROM [voids] v JOIN [voidlines] w ON w.[Void] = v.[Void] WHERE "
        "v.[Session] = ?1), "
        "(SELECT total(w.[Price] * w.[Qty]) FROM [voids] v JOIN [voidlines] w ON w.[Void] = "
        "v.[Void] WHERE v.[Session] = ?1), "
        "(SELECT count(*) FROM [refunds] WHERE [Session] = ?1), "
        "(SELECT total([Amount]) FROM [refunds] WHERE [Session] = ?1), "
        "(SELECT total(g.[Amount]) FROM [receiptsessions] s JOIN [receiptrounding] g ON "
        "g.[Receipt] = s.[Receipt] WHERE s.[Session] = ?1), "
        "(SELECT total([Amount]) FROM [cashmovements] WHERE [Session] = ?1 AND [Direction] = "
        "'in'), "
        "(SELECT total([Amount]) FROM [cashmovements] WHERE [Session] = ?1 AND [Direction] = "
        "'out')");
    return sql;
}

const QString &methodsSql() {
    static const QString sql = QStringLiteral(
        "SELECT m.[Method], m.[Name], m.[Kind], coalesce(p.[Taken], 0), coalesce(r.[Refunded], "
        "0), coalesce(p.[Taken], 0) - coalesce(r.[Refunded], 0) + CASE m.[Kind] WHEN 'cash' "
        "THEN (SELECT [OpeningFloat] FROM [tillsessions] WHERE [Session] = ?1) + (SELECT "
        "total(CASE [Direction] WHEN 'in' THEN [Amount] ELSE -[Amount] END) FROM "
        "[cashmovements] WHERE [Session] = ?1) ELSE 0 END "
        "FROM [paymentmethods] m "
        "LEFT JOIN (SELECT y.[Method] AS [Method], total(y.[Amount]) AS [Taken] FROM "
        "[receiptsessions] s JOIN [payments] y ON y.[Receipt] = s.[Receipt] WHERE s.[Session] "
        "= ?1 GROUP BY y.[Method]) p ON p.[Method] = m.[Method] "
        "LEFT JOIN (SELECT [Method], total([Amount]) AS [Refunded] FROM [refunds] WHERE "
        "[Session] = ?1 GROUP BY [Method]) r ON r.[Method] = m.[Method] "
        "WHERE m.[Removed] = 0 OR p.[Method] IS NOT NULL OR r.[Method] IS NOT NULL "
        "ORDER BY CASE m.[Kind] WHEN 'cash' THEN 0 WHEN 'card' THEN 1 ELSE 2 END, m.[Name], "
        "m.[Method]");
    return sql;
}

qint64 FileDialect::openSession(Connection &connection, const SessionOpening &opening) const {
    if (opening.openingFloat < Money())
        throw refused(QStringLiteral("the float cannot be below 0"));
    const qint64 till = filetill::thisTill(connection);
    // One open session a till: the unique index keeps a second out, whoever opens it.
    Statement insert = connection.prepare(QStringLiteral(
        "INSERT INTO [tillsessions] ([Till], [Opened], [OpeningFloat], [OpenedBy]) VALUES (?1, "
        "?2, ?3, ?4) ON CONFLICT DO NOTHING RETURNING [Session]"));
    insert.bindAll(
        {till, conv::isoMoment(opening.at), opening.openingFloat.toDouble(), systemUser()});
    if (insert.step()) {
        const qint64 session = insert.value(0).toLongLong();
        insert.step();
        return session;
    }
    throw refused(QStringLiteral("the till has a session open already: close it before opening "
                                 "another"));
}

void FileDialect::moveCash(Connection &connection, const CashMovementRecord &movement) const {
    if (connection
            .scalar(QStringLiteral("SELECT 1 FROM [cashmovements] WHERE [Movement] = ?1"),
                    {movement.id})
            .isValid())
        return; // stored before: the same movement sent again
    if (movement.amount <= Money())
        throw refused(QStringLiteral("the amount paid in or taken out must be more than 0"));
    if (movement.reason.trimmed().isEmpty())
        throw refused(QStringLiteral("give the reason the cash is paid in or taken out"));
    requireOpenSession(connection, movement.session);
    connection.write(
        QStringLiteral(
            "INSERT INTO [cashmovements] ([Movement], [Session], [Direction], [Amount], [Reason], "
            "[MovedAt], [Login]) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)"),
        {movement.id, movement.session, movement.in ? QStringLiteral("in") : QStringLiteral("out"),
         movement.amount.toDouble(), movement.reason.trimmed(), conv::isoMoment(movement.at),
         systemUser()});
}

void FileDialect::recordXReport(Connection &connection, qint64 session, const QDateTime &at) const {
    connection.write(
        QStringLiteral(
            "INSERT INTO [xreports] ([Session], [OpenedAt], [Login]) VALUES (?1, ?2, ?3)"),
        {session, conv::isoMoment(at), systemUser()});
}

void FileDialect::closeSession(Connection &connection, const SessionClosing &closing) const {
    for (const CountedAmount &count : closing.counted)
        if (count.counted < Money())
            throw refused(QStringLiteral("a counted amount cannot be below 0"));
    requireOpenSession(connection, closing.session);
    const QVariant unpaid = connection.scalar(
        QStringLiteral(
            "SELECT r.[Readable] FROM [receiptsessions] s JOIN [receipts] r ON r.[Receipt] = "
            "s.[Receipt] WHERE s.[Session] = ?1 AND r.[Paid] IS NULL AND EXISTS (SELECT 1 FROM "
            "[receiptlines] l WHERE l.[Receipt] = r.[Receipt] AND NOT EXISTS (SELECT 1 FROM "
            "[voidlines] w WHERE w.[Receipt] = l.[Receipt] AND w.[Line] = l.[Line])) ORDER BY "
            "r.[Number] LIMIT 1"),
        {closing.session});
    if (unpaid.isValid())
        throw refused(QStringLiteral("the receipt %1 is not paid: the session cannot close until "
                                     "that receipt is paid or voided")
                          .arg(unpaid.toString()));
    const int closed = connection.write(
        QStringLiteral("UPDATE [tillsessions] SET [Closed] = ?1, [ClosedBy] = ?2 WHERE "
                       "[Session] = ?3 AND [Closed] IS NULL"),
        {conv::isoMoment(closing.at), systemUser(), closing.session});
    if (closed != 1)
        throw refused(QStringLiteral("the session %1 is closed").arg(closing.session));
    connection.write(
        QStringLiteral("INSERT INTO [zreports] ([Session], [Receipts], [Sales], [Voids], "
                       "[Voided], [Refunds], [Refunded], [Rounding], [CashIn], [CashOut]) "
                       "SELECT ?1, * FROM (%1)")
            .arg(totalsSql()),
        {closing.session});
    Statement methods = connection.prepare(methodsSql());
    methods.bindAll({closing.session});
    Statement insert = connection.prepare(QStringLiteral(
        "INSERT INTO [zreportmethods] ([Session], [Method], [Name], [Kind], [Taken], "
        "[Refunded], [Expected], [Counted]) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)"));
    while (methods.step()) {
        const qint64 method = methods.value(0).toLongLong();
        Money counted;
        for (const CountedAmount &count : closing.counted)
            if (count.method == method)
                counted = count.counted;
        insert.run({closing.session, method, methods.value(1), methods.value(2), methods.value(3),
                    methods.value(4), methods.value(5), counted.toDouble()});
    }
}

} // namespace filetill
