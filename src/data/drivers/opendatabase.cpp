// Choosing the engine of a shop's location.
#include "opendatabase.h"

#include "engine.h"
#include "openfile.h"
#include "openserver.h"
#include "pglocation.h"

namespace drivers {

Connection connect(const QString &location) {
    return Connection(location, pglocation::isServer(location) ? engines::openServer(location)
                                                               : engines::openFile(location));
}

} // namespace drivers
