// Choosing the driver of a shop's location.
#include "opendatabase.h"

#include "driver.h"
#include "pglocation.h"

namespace drivers {

ShopDatabase open(const QString &location, const ConnectionSettings &settings) {
    return ShopDatabase(
        location, pglocation::isServer(location) ? engines::serverDriver() : engines::fileDriver(),
        settings);
}

Connection connect(const QString &location) {
    return open(location).connect();
}

} // namespace drivers
