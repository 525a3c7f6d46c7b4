// Shop locations: a file path or a server shop.
#include "shoplocation.h"

#include "pglocation.h"
#include "systemuser.h"

namespace shoplocation {

QString ofServer(const QString &connectionString) {
    return QLatin1String(pglocation::prefix) + connectionString.trimmed();
}

bool isConnectionString(const QString &text) {
    return pglocation::settingsOf(text).has_value();
}

QString loginName(const QString &location) {
    const QString login =
        pglocation::isServer(location) ? pglocation::loginName(location) : QString();
    return login.isEmpty() ? systemUser() : login;
}

} // namespace shoplocation
