// Shop locations: a file path or a server shop.
#include "shoplocation.h"

#include "pglocation.h"

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

} // namespace shoplocation
