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

namespace {
// The editors of the counter's tills, payment methods and settings keep tables a shop has from
// the version that brings receipts on, the refund reasons and the sessions' screens from the
// version that brings sessions, the customer orders from theirs: an older shop says it must be
// upgraded first.
int versionNeeded(const QString &screenId) {
    if (screenId == QLatin1String(screenid::DataTills) ||
        screenId == QLatin1String(screenid::DataPaymentMethods) ||
        screenId == QLatin1String(screenid::DataShopSettings))
        return shop::receiptsVersion;
    if (screenId == QLatin1String(screenid::DataRefundReasons) ||
        screenId == QLatin1String(screenid::TillSessions) ||
        screenId == QLatin1String(screenid::XReport))
        return shop::sessionsVersion;
    if (screenId == QLatin1String(screenid::RefusedReceipts))
        return offline::latereceiptsVersion;
    if (screenId == QLatin1String(screenid::CustomerOrders) ||
        screenId == QLatin1String(screenid::DataOrderLimits))
        return shop::customerOrdersVersion;
    if (screenId == QLatin1String(screenid::Reorder) ||
        screenId == QLatin1String(screenid::PurchaseOrders) ||
        screenId == QLatin1String(screenid::Receive) ||
        screenId == QLatin1String(screenid::HeldBills) ||
        screenId == QLatin1String(screenid::Returns))
        return shop::purchaseOrdersVersion;
    return 1;
}

bool hasVersionFor(const QString &screenId, const ShopContext &context) {
    const int needed = versionNeeded(screenId);
    if (needed <= 1)
        return true;
    Connection connection = context.shop.connect();
    return hasShopVersion(context, connection, needed); // else told to upgrade the shop first
}

template <typename Screen> ScreenRegistry::Factory build(const char *screenId = nullptr) {
    return [screenId](const ShopContext &context) -> QWidget * {
        if (screenId != nullptr && !hasVersionFor(QLatin1String(screenId), context))
            return nullptr;
        return new Screen(context);
    };
}
} // namespace

void registerAllScreens(ScreenRegistry &registry) {
    registry.add(screenid::Sell, build<SellScreen>());
    registry.add(screenid::OnSale, build<OnSaleScreen>());
    registry.add(screenid::TopTen, build<TopTenScreen>());
    registry.add(screenid::DayReport, build<DayReportScreen>());
    registry.add(screenid::MonthReport, build<MonthReportScreen>());
    registry.add(screenid::BookQuery, build<BookQueryScreen>());
    registry.add(screenid::NewTitle, build<NewTitleScreen>());
    registry.add(screenid::Invoice, build<InvoiceScreen>());
    registry.add(screenid::SafeQty, build<SafeScreen>());
    registry.add(screenid::NewQty, build<NewQtyScreen>());
    registry.add(screenid::BillPrint, build<BillPrintScreen>());
    registry.add(screenid::BillPay, build<BillPayScreen>());
    registry.add(screenid::PaidRecords, build<PaidRecordsScreen>());
    registry.add(screenid::TillSessions, build<TillSessionsScreen>(screenid::TillSessions));
    registry.add(screenid::XReport, build<XReportScreen>(screenid::XReport));
    registry.add(screenid::RefusedReceipts,
                 build<RefusedReceiptsScreen>(screenid::RefusedReceipts));
    registry.add(screenid::CustomerOrders, build<CustomerOrdersScreen>(screenid::CustomerOrders));
    registry.add(screenid::Reorder, build<ReorderScreen>(screenid::Reorder));
    registry.add(screenid::PurchaseOrders, build<PurchaseOrdersScreen>(screenid::PurchaseOrders));
    registry.add(screenid::Receive, build<ReceiveScreen>(screenid::Receive));
    registry.add(screenid::HeldBills, build<HeldBillsScreen>(screenid::HeldBills));
    registry.add(screenid::Returns, build<ReturnsScreen>(screenid::Returns));
    for (const EditorDefinition &definition : maintenanceScreenTable())
        registry.add(definition.screenId, [definition](const ShopContext &context) -> QWidget * {
            if (!hasVersionFor(definition.screenId, context))
                return nullptr;
            auto *editor = new RecordEditor(definition, context);
            if (definition.screenId == QLatin1String(screenid::DataTitles))
                new IsbnWarnings(editor, 1, context); // the ISBN box
            if (definition.screenId == QLatin1String(screenid::DataRetail))
                new SupplierRenameWarning(editor, 2, context); // the RetName box
            return editor;
        });
}
