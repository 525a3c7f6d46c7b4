// Shop locations: a file path or a server shop.
#include "shoplocation.h"

#include <QStringList>
#include <libpq-fe.h>

namespace shoplocation {

bool isServer(const QString &location) {
    return location.startsWith(QLatin1String(serverPrefix));
}

QString ofServer(const QString &connectionString) {
    return QLatin1String(serverPrefix) + connectionString.trimmed();
}

QString connectionString(const QString &location) {
    return isServer(location) ? location.mid(int(qstrlen(serverPrefix))) : QString();
}

QString describe(const QString &location) {
    if (!isServer(location))
        return location;
    const QString settings = connectionString(location);
    // A bare word is a database name to libpq; a service name is written "service=...".
    PQconninfoOption *options = PQconninfoParse(settings.toUtf8().constData(), nullptr);
    if (options == nullptr)
        return settings;
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
    QStringList parts;
    if (!service.isEmpty())
        parts << QStringLiteral("service %1").arg(service);
    if (!database.isEmpty())
        parts << QStringLiteral("database %1").arg(database);
    parts << QStringLiteral("on %1").arg(host.isEmpty() ? QStringLiteral("the server") : host);
    return QStringLiteral("PostgreSQL shop: ") + parts.join(QLatin1Char(' '));
}

} // namespace shoplocation
