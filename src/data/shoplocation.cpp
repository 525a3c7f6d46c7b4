// Shop locations: a file path or a server shop.
#include "shoplocation.h"

#include <libpq-fe.h>

namespace shoplocation {

namespace {

// "(timeout 5)" right after the prefix: no connection string or URI starts with "(".
const QLatin1String timeoutOpening("(timeout ");

// The part after the prefix: the time limit, if any, then the connection string.
QStringView afterPrefix(const QString &location) {
    return QStringView(location).mid(qsizetype(qstrlen(serverPrefix)));
}

} // namespace

bool isServer(const QString &location) {
    return location.startsWith(QLatin1String(serverPrefix));
}

QString ofServer(const QString &connectionString) {
    return QLatin1String(serverPrefix) + connectionString.trimmed();
}

QString connectionString(const QString &location) {
    if (!isServer(location))
        return QString();
    const QStringView rest = afterPrefix(location);
    if (rest.startsWith(timeoutOpening)) {
        const qsizetype close = rest.indexOf(QLatin1Char(')'));
        if (close > 0)
            return rest.mid(close + 1).toString();
    }
    return rest.toString();
}

QString withTimeout(const QString &location, int seconds) {
    if (!isServer(location))
        return location;
    const QString settings = connectionString(location);
    if (seconds <= 0)
        return ofServer(settings);
    return QLatin1String(serverPrefix) + timeoutOpening + QString::number(seconds) +
           QLatin1Char(')') + settings;
}

int timeoutOf(const QString &location) {
    if (!isServer(location))
        return 0;
    const QStringView rest = afterPrefix(location);
    if (!rest.startsWith(timeoutOpening))
        return 0;
    const qsizetype close = rest.indexOf(QLatin1Char(')'));
    return close > 0 ? rest.mid(timeoutOpening.size(), close - timeoutOpening.size()).toInt() : 0;
}

QString describe(const QString &location) {
    if (!isServer(location))
        return location;
    const QString settings = connectionString(location);
    // A bare word is a database name to libpq; a service name is written "service=...".
    PQconninfoOption *options = PQconninfoParse(settings.toUtf8().constData(), nullptr);
    if (options == nullptr) // never shown as typed: it may hold a password
        return QStringLiteral("Server shop");
    QString host, database, service;
    for (PQconninfoOption *option = options; option->keyword != nullptr; ++option) {
        if (option->val == nullptr)
            continue;
        const QString value = QString::fromUtf8(option->val);
        if (qstrcmp(option->keyword, "host") == 0 || qstrcmp(option->keyword, "hostaddr") == 0)
            host = value;
        else if (qstrcmp(option->keyword, "dbname") == 0)
            database = value;
        else if (qstrcmp(option->keyword, "service") == 0)
            service = value;
    }
    PQconninfoFree(options);
    if (host.startsWith(QLatin1Char('/')))
        host = QStringLiteral("this computer");
    // "Server shop: shop on backoffice", "Server shop: service shop".
    QString what = database;
    if (!service.isEmpty())
        what = database.isEmpty() ? QStringLiteral("service %1").arg(service)
                                  : QStringLiteral("%1 (service %2)").arg(database, service);
    if (what.isEmpty())
        what = QStringLiteral("the default database");
    if (!host.isEmpty())
        what += QStringLiteral(" on %1").arg(host);
    return QStringLiteral("Server shop: ") + what;
}

} // namespace shoplocation
