// Table of the purchasing screens: identifier and how to build each.
#include "purchasingscreens.h"

#include "invoicescreen.h"
#include "newqtyscreen.h"
#include "newtitlescreen.h"
#include "safescreen.h"
#include "screenregistry.h"

void registerPurchasingScreens(ScreenRegistry &registry) {
    registry.add("frmCreTitles", [](const ShopContext &c) { return new NewTitleScreen(c); });
    registry.add("frmInvoice", [](const ShopContext &c) { return new InvoiceScreen(c); });
    registry.add("frmSafe", [](const ShopContext &c) { return new SafeScreen(c); });
    registry.add("frmNewQty", [](const ShopContext &c) { return new NewQtyScreen(c); });
}
