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
    return isServer(location) ? location.mid(qsizetype(qstrlen(prefix))) : QString();
}

bool isConnectionString(const QString &text) {
    char *error = nullptr;
    PQconninfoOption *options = PQconninfoParse(text.toUtf8().constData(), &error);
    PQfreemem(error); // it may quote the text, password and all
    PQconninfoFree(options);
    return options != nullptr;
}

namespace {

// What a server location's connection string names; `parsed` false when libpq cannot read it.
struct ServerNames {
    bool parsed = false;
    QString host, database, service, user;
};

ServerNames serverNames(const QString &location) {
    ServerNames names;
    // A bare word is a database name to libpq; a service name is written "service=...".
    PQconninfoOption *options =
        PQconninfoParse(connectionString(location).toUtf8().constData(), nullptr);
    if (options == nullptr)
        return names;
    names.parsed = true;
    for (PQconninfoOption *option = options; option->keyword != nullptr; ++option) {
        if (option->val == nullptr)
            continue;
        const QString value = QString::fromUtf8(option->val);
        if (qstrcmp(option->keyword, "host") == 0 || qstrcmp(option->keyword, "hostaddr") == 0)
            names.host = value;
        else if (qstrcmp(option->keyword, "dbname") == 0)
            names.database = value;
        else if (qstrcmp(option->keyword, "service") == 0)
            names.service = value;
        else if (qstrcmp(option->keyword, "user") == 0)
            names.user = value;
    }
    PQconninfoFree(options);
    return names;
}

} // namespace

QString describe(const QString &location) {
    const ServerNames names = serverNames(location);
    if (!names.parsed) // never shown as typed: it may hold a password
        return QStringLiteral("Server shop");
    QString host = names.host;
    const QString &database = names.database, &service = names.service;
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

QString shortName(const QString &location) {
    const ServerNames names = serverNames(location);
    if (!names.database.isEmpty())
        return names.database;
    return names.service.isEmpty() ? QStringLiteral("the default database")
                                   : QStringLiteral("service %1").arg(names.service);
}

QString loginName(const QString &location) {
    const ServerNames names = serverNames(location);
    if (!names.user.isEmpty())
        return names.user;
    return qEnvironmentVariable("PGUSER"); // empty: libpq takes the system's user
}

} // namespace pglocation
