// Reaching the server shop at start, as often as the operator asks.
#include "serverreach.h"

#include "connection.h"
#include "dataerror.h"
#include "messageboxes.h"
#include "shopdatabase.h"

namespace serverreach {

bool untilReached(const ShopDatabase &shop, MessageBoxes &messages) {
    for (;;) {
        try {
            Connection reach = shop.connect();
            return true;
        } catch (const DataError &error) {
            if (!messages.confirm(error.sentence() +
                                      QStringLiteral("\n\nPress OK to try again now, or Cancel "
                                                     "to go on without the shop: each screen "
                                                     "tries again when it opens."),
                                  QString(), error.details()))
                return false;
        }
    }
}

} // namespace serverreach
