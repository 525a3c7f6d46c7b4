// The system's user.
#include "systemuser.h"

#include <pwd.h>
#include <unistd.h>

QString systemUser() {
    for (const char *variable : {"USER", "LOGNAME"})
        if (const QString user = qEnvironmentVariable(variable); !user.isEmpty())
            return user;
    const passwd *entry = getpwuid(geteuid()); // a service or a container sets neither
    return entry != nullptr ? QString::fromLocal8Bit(entry->pw_name) : QString();
}
