// Every screen of the program, identifier by identifier.
#include "allscreens.h"

#include "billpayscreen.h"
#include "billprintscreen.h"
#include "bookqueryscreen.h"
#include "connection.h"
#include "customerorders.h"
#include "customerordersscreen.h"
#include "dayreportscreen.h"
#include "heldbillsscreen.h"
#include "invoicescreen.h"
#include "isbnwarnings.h"
#include "maintenancetable.h"
#include "monthreportscreen.h"
#include "newqtyscreen.h"
#include "newtitlescreen.h"
#include "onsalescreen.h"
#include "outboxsender.h"
#include "paidrecordsscreen.h"
#include "purchaseorders.h"
#include "purchaseordersscreen.h"
#include "receipts.h"
#include "receivescreen.h"
#include "refusedreceiptsscreen.h"
#include "reorderscreen.h"
#include "returnsscreen.h"
#include "safescreen.h"
#include "screenids.h"
#include "screenregistry.h"
#include "sellscreen.h"
#include "shopversionneeded.h"
#include "supplierrenamewarning.h"
#include "tillsessions.h"
#include "tillsessionsscreen.h"
#include "toptenscreen.h"
#include "xreportscreen.h"

#include <utility>

namespace {
// A screen of tables a shop has from a later version on opens on such a shop alone: an older
// shop says it must be upgraded first.
bool hasVersion(int needed, const ShopContext &context) {
    if (needed <= 1)
        return true;
    Connection connection = context.shop.connect();
    return hasShopVersion(context, connection, needed); // else told to upgrade the shop first
}

template <typename Screen>
void add(ScreenRegistry &registry, const char *screenId, int needed = 1) {
    registry.add(screenId, [needed](const ShopContext &context) -> QWidget * {
        return hasVersion(needed, context) ? new Screen(context) : nullptr;
    });
}

// The editors of the counter's tills, payment methods and settings keep tables a shop has from
// the version that brings receipts on, the refund reasons from the version that brings
// sessions, the order limits from the customer orders'.
int editorVersion(const QString &screenId) {
    const std::pair<const char *, int> later[] = {
        {screenid::DataTills, shop::receiptsVersion},
        {screenid::DataPaymentMethods, shop::receiptsVersion},
        {screenid::DataShopSettings, shop::receiptsVersion},
        {screenid::DataRefundReasons, shop::sessionsVersion},
        {screenid::DataOrderLimits, shop::customerOrdersVersion}};
    for (const auto &[id, version] : later)
        if (screenId == QLatin1String(id))
            return version;
    return 1;
}
} // namespace

void registerAllScreens(ScreenRegistry &registry) {
    add<SellScreen>(registry, screenid::Sell);
    add<OnSaleScreen>(registry, screenid::OnSale);
    add<TopTenScreen>(registry, screenid::TopTen);
    add<DayReportScreen>(registry, screenid::DayReport);
    add<MonthReportScreen>(registry, screenid::MonthReport);
    add<BookQueryScreen>(registry, screenid::BookQuery);
    add<NewTitleScreen>(registry, screenid::NewTitle);
    add<InvoiceScreen>(registry, screenid::Invoice);
    add<SafeScreen>(registry, screenid::SafeQty);
    add<NewQtyScreen>(registry, screenid::NewQty);
    add<BillPrintScreen>(registry, screenid::BillPrint);
    add<BillPayScreen>(registry, screenid::BillPay);
    add<PaidRecordsScreen>(registry, screenid::PaidRecords);
    add<TillSessionsScreen>(registry, screenid::TillSessions, shop::sessionsVersion);
    add<XReportScreen>(registry, screenid::XReport, shop::sessionsVersion);
    add<RefusedReceiptsScreen>(registry, screenid::RefusedReceipts, offline::latereceiptsVersion);
    add<CustomerOrdersScreen>(registry, screenid::CustomerOrders, shop::customerOrdersVersion);
    add<ReorderScreen>(registry, screenid::Reorder, shop::purchaseOrdersVersion);
    add<PurchaseOrdersScreen>(registry, screenid::PurchaseOrders, shop::purchaseOrdersVersion);
    add<ReceiveScreen>(registry, screenid::Receive, shop::purchaseOrdersVersion);
    add<HeldBillsScreen>(registry, screenid::HeldBills, shop::purchaseOrdersVersion);
    add<ReturnsScreen>(registry, screenid::Returns, shop::purchaseOrdersVersion);
    for (const EditorDefinition &definition : maintenanceScreenTable())
        registry.add(definition.screenId, [definition](const ShopContext &context) -> QWidget * {
            if (!hasVersion(editorVersion(definition.screenId), context))
                return nullptr;
            auto *editor = new RecordEditor(definition, context);
            if (definition.screenId == QLatin1String(screenid::DataTitles))
                new IsbnWarnings(editor, 1, context); // the ISBN box
            if (definition.screenId == QLatin1String(screenid::DataRetail))
                new SupplierRenameWarning(editor, 2, context); // the RetName box
            return editor;
        });
}
