// New Shop: the refusal when a shop is there, the choice, the making and its message.
#include "newshopcommand.h"

#include "clock.h"
#include "dataerror.h"
#include "messageboxes.h"
#include "newshopdialog.h"
#include "opendatabase.h"
#include "receipts.h"
#include "shopfile.h"

namespace newshop {

namespace {
void refuse(const QString &path, MessageBoxes &messages) {
    messages.inform(QStringLiteral("There is a shop at %1 already. New Shop never replaces one; "
                                   "nothing was changed.")
                        .arg(path),
                    MessageBoxes::Icon::Information);
}
} // namespace

bool run(const QString &path, QWidget *owner, MessageBoxes &messages, const Clock *clock) {
    if (shopfile::occupied(path)) {
        refuse(path, messages);
        return false;
    }
    NewShopDialog box(path, owner);
    if (box.exec() != QDialog::Accepted)
        return false;
    // The file may have been made elsewhere while the box was up.
    if (shopfile::occupied(path)) {
        refuse(path, messages);
        return false;
    }
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
