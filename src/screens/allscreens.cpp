// Every screen of the program, identifier by identifier.
#include "allscreens.h"

#include "billpayscreen.h"
#include "billprintscreen.h"
#include "bookqueryscreen.h"
#include "connection.h"
#include "dayreportscreen.h"
#include "invoicescreen.h"
#include "isbnwarnings.h"
#include "maintenancetable.h"
#include "monthreportscreen.h"
#include "newqtyscreen.h"
#include "newtitlescreen.h"
#include "onsalescreen.h"
#include "paidrecordsscreen.h"
#include "receipts.h"
#include "safescreen.h"
#include "screenids.h"
#include "screenregistry.h"
#include "sellscreen.h"
#include "shopversionneeded.h"
#include "toptenscreen.h"

namespace {
// The editors of the counter's tills, payment methods and settings keep tables a shop has from
// the version that brings receipts on: an older shop says it must be upgraded first.
bool needsReceiptsVersion(const QString &screenId) {
    return screenId == QLatin1String(screenid::DataTills) ||
           screenId == QLatin1String(screenid::DataPaymentMethods) ||
           screenId == QLatin1String(screenid::DataShopSettings);
}

template <typename Screen> ScreenRegistry::Factory build() {
    return [](const ShopContext &context) { return new Screen(context); };
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
    for (const EditorDefinition &definition : maintenanceScreenTable())
        registry.add(definition.screenId, [definition](const ShopContext &context) -> QWidget * {
            if (needsReceiptsVersion(definition.screenId)) {
                Connection connection = context.shop.connect();
                if (!hasShopVersion(context, connection, shop::receiptsVersion))
                    return nullptr; // the operator was told to upgrade the shop first
            }
            auto *editor = new RecordEditor(definition, context);
            if (definition.screenId == QLatin1String(screenid::DataTitles))
                new IsbnWarnings(editor, 1, context); // the ISBN box
            return editor;
        });
}
