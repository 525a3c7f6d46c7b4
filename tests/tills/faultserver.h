// The fault tests' own PostgreSQL cluster, which they stop and start at will (the cluster the
// other tests share stays untouched), and small shops on it with a till's login.
#pragma once

#include <QString>
#include <QStringList>

namespace faultserver {

inline constexpr char kTill[] = "faulttill"; // the login of the computer at work: back office

// Runs scripts/testserver on the cluster ("stop", "start", "restart", with more arguments
// after the folder); a test failure when it fails.
void control(const QString &command, const QStringList &more = {});
// Stops the server at once, from any thread.
void stopImmediately();

// The superuser's connection string, or a till's, for a database of the cluster.
QString settingsOf(const QString &database, const QString &user = QStringLiteral("quillmart"));

// The rows of a query as the shop's owner sees them, on a connection of their own (the
// server may have restarted since the last one): one text per row, values joined by '|'.
// Throws DataError.
QStringList ownerRows(const QString &database, const QString &sql, const QStringList &params = {});

// The states of the tills' connections to the shop ("idle", "idle in transaction", ...).
QStringList tillStates(const QString &database);

// Ends every till's connection to the shop, and waits until they are gone.
void terminateTills(const QString &database);

// A new shop on the cluster: two titles, a supplier, three open bills, a subject.
class ServerShop {
public:
    ServerShop();
    const QString &database() const { return database_; }
    // Where a till finds it, logging in as kTill.
    QString location() const;
    // The eight tables the shop keeps, every row.
    QStringList snapshot() const;
    // The rows of a query, joined by spaces.
    QString value(const QString &sql) const { return ownerRows(database_, sql).join(' '); }

private:
    QString database_;
};

} // namespace faultserver
