// Shop locations: a file path or a server shop.
#include "shoplocation.h"

#include "pglocation.h"

#include <pwd.h>
#include <unistd.h>

namespace shoplocation {

QString ofServer(const QString &connectionString) {
    return pglocation::of(connectionString);
}

QString connectionString(const QString &location) {
    return pglocation::connectionString(location);
}

bool isConnectionString(const QString &text) {
    return pglocation::isConnectionString(text);
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
    const QString login =
        pglocation::isServer(location) ? pglocation::loginName(location) : QString();
    return login.isEmpty() ? systemUser() : login;
}

} // namespace shoplocation
