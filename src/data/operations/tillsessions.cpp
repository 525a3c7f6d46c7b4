// A till's sessions, their X reports computed as asked for and their Z reports as stored at
// the closing.
#include "tillsessions.h"

#include "connection.h"
#include "conversions.h"
#include "dataerror.h"
#include "engine.h"
#include "refusablework.h"
#include "shopsession.h"
#include "shopsteps.h"

Money SessionReport::net() const {
    return Money::fromUnits(sales.units() - voided.units() - refunded.units());
}

namespace shop {

namespace {

const QString sessionColumns = QStringLiteral(
    "SELECT s.[Session], s.[Till], t.[Name], s.[Opened], s.[Closed], s.[OpeningFloat], "
    "s.[OpenedBy], s.[ClosedBy] FROM [tillsessions] s JOIN [tills] t ON t.[Till] = s.[Till] ");

TillSession sessionOf(const Statement &row) {
    return {row.value(0).toLongLong(),
            row.value(1).toLongLong(),
            row.value(2).toString(),
            conv::parseMoment(row.value(3).toString()),
            conv::parseMoment(row.value(4).toString()),
            Money::orZero(row.value(5)),
            row.value(6).toString(),
            row.value(7).toString()};
}

std::vector<TillSession> sessionsWhere(Connection &connection, const QString &condition,
                                       const QVariantList &values) {
    Statement select = connection.prepare(sessionColumns + condition);
    select.bindAll(values);
    std::vector<TillSession> found;
    while (select.step())
        found.push_back(sessionOf(select));
    return found;
}

std::vector<QDateTime> xReportsOf(Connection &connection, qint64 session) {
    Statement select = connection.prepare(QStringLiteral(
        "SELECT [OpenedAt] FROM [xreports] WHERE [Session] = ?1 ORDER BY [OpenedAt]"));
    select.bindAll({session});
    std::vector<QDateTime> opened;
    while (select.step())
        opened.push_back(conv::parseMoment(select.value(0).toString()));
    return opened;
}

// The totals' row: receipts, sales, voids, voided, refunds, refunded, rounding, cash in,
// cash out.
void readTotals(const Statement &row, SessionReport &report) {
    report.receipts = row.value(0).toInt();
    report.sales = Money::orZero(row.value(1));
    report.voids = row.value(2).toInt();
    report.voided = Money::orZero(row.value(3));
    report.refunds = row.value(4).toInt();
    report.refunded = Money::orZero(row.value(5));
    report.rounding = Money::orZero(row.value(6));
    report.cashIn = Money::orZero(row.value(7));
    report.cashOut = Money::orZero(row.value(8));
}

// Customers' deposits in the session: money in its drawer by method, but not sales. Added
// beside the sales and to what each method should hold; nothing in a shop without customer
// orders.
void addDeposits(Connection &connection, SessionReport &report) {
    if (connection.columnsOf(QLatin1String(tables::orderdeposits::table)).empty())
        return;
    report.hasDeposits = true;
    Statement select = connection.prepare(QStringLiteral(
        "SELECT [Method], [Kind], sum([Amount]) FROM [orderdeposits] WHERE [Session] = ?1 GROUP "
        "BY [Method], [Kind]"));
    select.bindAll({report.session.id});
    while (select.step()) {
        const qint64 method = select.value(0).toLongLong();
        const QString kind = select.value(1).toString();
        const Money amount = Money::orZero(select.value(2));
        const bool taken = kind == QLatin1String("taken");
        Money &total = taken                           ? report.depositsTaken
                       : kind == QLatin1String("used") ? report.depositsUsed
                                                       : report.depositsRefunded;
        total += amount;
        const Money change = taken ? amount : Money::fromUnits(-amount.units());
        for (MethodFigures &figures : report.methods)
            if (figures.method == method) {
                figures.deposits += change;
                figures.expected += change;
            }
    }
}

MethodFigures methodOf(const Statement &row) {
    return {row.value(0).toLongLong(),
            row.value(1).toString(),
            kindOf(row.value(2).toString()),
            Money::orZero(row.value(3)),
            Money::orZero(row.value(4)),
            Money::orZero(row.value(5)),
            std::nullopt,
            Money(),
            Money()};
}

} // namespace

std::optional<TillSession> openSessionOf(Connection &connection, qint64 till) {
    auto found = sessionsWhere(
        connection, QStringLiteral("WHERE s.[Till] = ?1 AND s.[Closed] IS NULL"), {till});
    if (found.empty())
        return std::nullopt;
    return found.front();
}

TillSession sessionById(Connection &connection, qint64 session) {
    auto found = sessionsWhere(connection, QStringLiteral("WHERE s.[Session] = ?1"), {session});
    if (found.empty())
        throw DataError(QStringLiteral("There is no session %1 in this shop.").arg(session));
    return found.front();
}

std::vector<TillSession> openSessions(Connection &connection) {
    return sessionsWhere(
        connection, QStringLiteral("WHERE s.[Closed] IS NULL ORDER BY t.[Name], s.[Session]"), {});
}

TillSession openSession(ShopSession &session, const SessionOpening &opening) {
    qint64 opened = 0;
    storedWork(session, {tables::tillsessions::table},
               QStringLiteral("The session was not opened: %1."), [&](Connection &connection) {
                   opened = connection.dialect().openSession(connection, opening);
               });
    return sessionById(session.connection(), opened);
}

void moveCash(ShopSession &session, const CashMovementRecord &movement) {
    storedWork(
        session, {tables::cashmovements::table}, QStringLiteral("The cash was not recorded: %1."),
        [&](Connection &connection) { connection.dialect().moveCash(connection, movement); });
}

SessionReport xReport(ShopSession &session, qint64 sessionId, const QDateTime &at) {
    SessionReport report;
    session.transact({tables::xreports::table}, [&](Connection &connection) {
        report = SessionReport();
        report.session = sessionById(connection, sessionId);
        connection.dialect().recordXReport(connection, sessionId, at);
        Statement totals = connection.prepare(connection.dialect().sessionTotals());
        totals.bindAll({sessionId});
        if (totals.step())
            readTotals(totals, report);
        totals.step();
        Statement methods = connection.prepare(connection.dialect().sessionMethods());
        methods.bindAll({sessionId});
        while (methods.step())
            report.methods.push_back(methodOf(methods));
        addDeposits(connection, report);
        report.xReports = xReportsOf(connection, sessionId);
    });
    return report;
}

SessionReport closeSession(ShopSession &session, const SessionClosing &closing) {
    storedWork(session, {tables::tillsessions::table, tables::zreports::table},
               QStringLiteral("The session was not closed: %1."), [&](Connection &connection) {
                   connection.dialect().closeSession(connection, closing);
               });
    return zReport(session.connection(), closing.session);
}

SessionReport zReport(Connection &connection, qint64 session) {
    SessionReport report;
    report.session = sessionById(connection, session);
    Statement totals = connection.prepare(
        QStringLiteral("SELECT [Receipts], [Sales], [Voids], [Voided], [Refunds], [Refunded], "
                       "[Rounding], [CashIn], [CashOut] FROM [zreports] WHERE [Session] = ?1"));
    totals.bindAll({session});
    if (!totals.step())
        throw DataError(QStringLiteral("The session %1 is still open: its Z report is made when "
                                       "it closes.")
                            .arg(session));
    readTotals(totals, report);
    totals.step();
    report.stored = true;
    Statement methods = connection.prepare(
        QStringLiteral("SELECT [Method], [Name], [Kind], [Taken], [Refunded], [Expected], "
                       "[Counted] FROM [zreportmethods] WHERE [Session] = ?1 ORDER BY CASE "
                       "[Kind] WHEN 'cash' THEN 0 WHEN 'card' THEN 1 ELSE 2 END, [Name], "
                       "[Method]"));
    methods.bindAll({session});
    while (methods.step()) {
        MethodFigures figures = methodOf(methods);
        figures.counted = Money::orZero(methods.value(6));
        report.methods.push_back(figures);
    }
    // The deposits' rows never change once written: added now, they are what they were at the
    // closing.
    addDeposits(connection, report);
    for (MethodFigures &figures : report.methods)
        figures.difference = Money::fromUnits(figures.counted->units() - figures.expected.units());
    report.xReports = xReportsOf(connection, session);
    return report;
}

} // namespace shop
