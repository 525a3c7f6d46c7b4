// Voids, stored through the session's connection.
#include "voids.h"

#include "dataerror.h"

namespace shop {

void storeVoid(ShopSession &, const VoidRecord &) {
    throw DataError(QStringLiteral("not yet"));
}
std::set<int> voidedLines(Connection &, const QString &) {
    throw DataError(QStringLiteral("not yet"));
}

} // namespace shop
