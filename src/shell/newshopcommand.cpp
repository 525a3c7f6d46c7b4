// New Shop: the refusal when a shop is there, the choice, the making and its message.
#include "newshopcommand.h"

#include "clock.h"
#include "connection.h"
#include "dataerror.h"
#include "messageboxes.h"
#include "newshopdialog.h"
#include "opendatabase.h"
#include "receipts.h"
#include "shopfile.h"

namespace newshop {

namespace {
// New Shop never replaces a shop: true, the operator told so, when there is one at the path.
bool shopAlreadyThere(const QString &path, MessageBoxes &messages) {
    if (!shopfile::occupied(path))
        return false;
    messages.inform(QStringLiteral("There is a shop at %1 already. New Shop never replaces one; "
                                   "nothing was changed.")
                        .arg(path),
                    MessageBoxes::Icon::Information);
    return true;
}
} // namespace

bool run(const ShopDatabase &shop, QWidget *owner, MessageBoxes &messages, const Clock *clock) {
    const std::optional<QString> file = shop.localFile();
    if (!file) {
        messages.inform(
            QStringLiteral("Quillmart works on the shop on the server (%1). A new shop "
                           "on a server is made there with quillmart-createdb --server.")
                .arg(shop.describe()));
        return false;
    }
    const QString &path = *file;
    if (shopAlreadyThere(path, messages))
        return false;
    NewShopDialog box(path, owner);
    // The file may have been made elsewhere while the box was up.
    if (box.exec() != QDialog::Accepted || shopAlreadyThere(path, messages))
        return false;
    const shopfile::Contents contents = box.contents();
    try {
        shopfile::makeShop(path, contents, clock ? clock->today() : QDate::currentDate());
        if (box.paymentsOn()) {
            Connection connection = drivers::open(path).connect();
            shop::setPaymentsOn(connection, true);
        }
    } catch (const DataError &e) {
        messages.inform(QStringLiteral("No shop was made. %1").arg(e.description()),
                        MessageBoxes::Icon::Critical);
        return false;
    }
    messages.inform(contents == shopfile::Contents::Demo
                        ? QStringLiteral("The demo shop was made at %1.").arg(path)
                        : QStringLiteral("An empty shop was made at %1. Enter its subjects, "
                                         "publishers and suppliers under DatabaseMaintain, "
                                         "then its titles.")
                              .arg(path),
                    MessageBoxes::Icon::Information);
    return true;
}

} // namespace newshop
