// Server shop locations: the prefix, the connection string behind it, and a name for it that
// never shows a password.
#include "pglocation.h"

#include <libpq-fe.h>

namespace pglocation {

bool isServer(const QString &location) {
    return location.startsWith(QLatin1String(prefix));
}

QString of(const QString &connectionString) {
    return QLatin1String(prefix) + connectionString.trimmed();
}

QString connectionString(const QString &location) {
    return isServer(location) ? location.mid(int(qstrlen(prefix))) : QString();
}

QString describe(const QString &location) {
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

} // namespace pglocation
