// Refunds and voids in a shop file.
#include "filetill.h"

#include "connection.h"
#include "dataerror.h"

namespace filetill {

StoredRefund storeRefund(Connection &, const RefundRecord &) {
    throw DataError(QStringLiteral("not yet"));
}
void storeVoid(Connection &, const VoidRecord &) {
    throw DataError(QStringLiteral("not yet"));
}

} // namespace filetill
