// Table of the accounting screens: identifier and how to build each.
#include "accountingscreens.h"

#include "billpayscreen.h"
#include "billprintscreen.h"
#include "paidrecordsscreen.h"
#include "screenregistry.h"

void registerAccountingScreens(ScreenRegistry &registry) {
    registry.add("frmBill", [](const ShopContext &c) { return new BillPrintScreen(c); });
    registry.add("frmCheckPay", [](const ShopContext &c) { return new BillPayScreen(c); });
    registry.add("frmPayRec", [](const ShopContext &c) { return new PaidRecordsScreen(c); });
}
