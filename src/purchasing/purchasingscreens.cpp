// Table of the purchasing screens: identifier and how to build each.
#include "purchasingscreens.h"

#include "newqtyscreen.h"
#include "newtitlescreen.h"
#include "screenregistry.h"

void registerPurchasingScreens(ScreenRegistry &registry) {
    registry.add("frmCreTitles", [](const ShopContext &c) { return new NewTitleScreen(c); });
    registry.add("frmNewQty", [](const ShopContext &c) { return new NewQtyScreen(c); });
}
