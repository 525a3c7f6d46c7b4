// Server shop locations: the prefix, the connection string behind it, and a name for it that
// never shows a password.
#include "pglocation.h"

#include <libpq-fe.h>

namespace pglocation {

bool isServer(const QString &location) {
    return location.startsWith(QLatin1String(prefix));
}

QString connectionString(const QString &location) {
    return isServer(location) ? location.mid(qsizetype(qstrlen(prefix))) : QString();
}

std::optional<std::vector<std::pair<QByteArray, QString>>> settingsOf(const QString &conninfo) {
    // No error text asked for: it may quote the text, password and all.
    PQconninfoOption *options = PQconninfoParse(conninfo.toUtf8().constData(), nullptr);
    if (options == nullptr)
        return std::nullopt;
    std::vector<std::pair<QByteArray, QString>> given;
    for (PQconninfoOption *option = options; option->keyword != nullptr; ++option)
        if (option->val != nullptr)
            given.emplace_back(option->keyword, QString::fromUtf8(option->val));
    PQconninfoFree(options);
    return given;
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
    const auto settings = settingsOf(connectionString(location));
    names.parsed = settings.has_value();
    for (const auto &[keyword, value] : settings.value_or(decltype(settings)::value_type{})) {
        if (keyword == "host" || keyword == "hostaddr")
            names.host = value;
        else if (keyword == "dbname")
            names.database = value;
        else if (keyword == "service")
            names.service = value;
        else if (keyword == "user")
            names.user = value;
    }
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
