// Shop locations: a file path or a server shop.
#include "shoplocation.h"

#include "pglocation.h"

#include <QFileInfo>
#include <pwd.h>
#include <unistd.h>

namespace shoplocation {

bool isServer(const QString &location) {
    return pglocation::isServer(location);
}

QString ofServer(const QString &connectionString) {
    return pglocation::of(connectionString);
}

QString describe(const QString &location) {
    return isServer(location) ? pglocation::describe(location) : location;
}

QString connectionString(const QString &location) {
    return pglocation::connectionString(location);
}

QString withTimeout(const QString &location, int seconds) {
    return pglocation::withTimeout(location, seconds);
}

int timeoutOf(const QString &location) {
    return pglocation::timeoutOf(location);
}

bool isConnectionString(const QString &text) {
    return pglocation::isConnectionString(text);
}

QString shortName(const QString &location) {
    return isServer(location) ? pglocation::shortName(location) : QFileInfo(location).fileName();
}

namespace {

QString systemUser() {
    for (const char *variable : {"USER", "LOGNAME"})
        if (const QString user = qEnvironmentVariable(variable); !user.isEmpty())
            return user;
    const passwd *entry = getpwuid(geteuid()); // a service or a container sets neither
    return entry != nullptr ? QString::fromLocal8Bit(entry->pw_name) : QString();
}

} // namespace

QString loginName(const QString &location) {
    const QString login = isServer(location) ? pglocation::loginName(location) : QString();
    return login.isEmpty() ? systemUser() : login;
}

} // namespace shoplocation
