// The screens of a later version on an older shop.
#include "shopversionneeded.h"

#include "messageboxes.h"
#include "versioncheck.h"

bool hasShopVersion(const ShopContext &context, Connection &connection, int needed) {
    const ShopVersion version = versioncheck::read(connection);
    if (version.number >= needed)
        return true;
    context.messages->inform(
        shopversion::upgradeFirst(needed, version.number, context.shop.localFile().has_value()),
        MessageBoxes::Icon::Information);
    return false;
}
