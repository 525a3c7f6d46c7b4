// Table of the sales screens: identifier and how to build each.
#include "salesscreens.h"

#include "bookqueryscreen.h"
#include "dayreportscreen.h"
#include "monthreportscreen.h"
#include "onsalescreen.h"
#include "screenregistry.h"
#include "sellscreen.h"
#include "toptenscreen.h"

void registerSalesScreens(ScreenRegistry &registry) {
    registry.add("frmSell", [](const ShopContext &c) { return new SellScreen(c); });
    registry.add("OnSaleReg", [](const ShopContext &c) { return new OnSaleScreen(c); });
    registry.add("A1A2", [](const ShopContext &c) { return new TopTenScreen(c); });
    registry.add("frmDayReport", [](const ShopContext &c) { return new DayReportScreen(c); });
    registry.add("frmMonthRpt", [](const ShopContext &c) { return new MonthReportScreen(c); });
    registry.add("frmBookQuery", [](const ShopContext &c) { return new BookQueryScreen(c); });
}
