// The menu bar of the main window, entry by entry.
#include "menutable.h"

#include "screenids.h"

namespace {

using K = CommandKind;

constexpr MenuEntry kMenu[] = {
    {"mnuFile", "File(&F)", nullptr, K::Menu, nullptr},
    {"mnuFileNewShop", "New Shop…(&N)", "mnuFile", K::NewShop, nullptr},
    {"mnuFilePrintReceipt", "Print Receipt(&R)...", "mnuFile", K::Receipt, nullptr},
    {"mnuFileRestore", "Restore a Backup(&B)...", "mnuFile", K::Restore, nullptr},
    {"mnuFileUpgrade", "Upgrade the Shop…(&U)", "mnuFile", K::Upgrade, nullptr},
    {"mnuFileBar0", "-", "mnuFile", K::Separator, nullptr},
    {"mnuFileExit", "Exit(&X)", "mnuFile", K::Exit, nullptr},

    {"mnuPurchase", "Purchase(&P)", nullptr, K::Menu, nullptr},
    {"mnuPurchaseInvoice", "Invoice Bill(&I)", "mnuPurchase", K::NewWindow, screenid::Invoice},
    {"mnuPurchaseSafeqty", "Safe Qty(&S)", "mnuPurchase", K::NewWindow, screenid::SafeQty},
    // The Titles maintenance screen, not the new-title screen of the toolbar.
    {"mnuPurchaseNewbook", "New book Data Creation(&N)", "mnuPurchase", K::NewWindow,
     screenid::DataTitles},
    {"mnuPurchaseQty", "New Purchase Book Quantity (&Q)", "mnuPurchase", K::NewWindow,
     screenid::NewQty},
    {"mnuPurchaseBar0", "-", "mnuPurchase", K::Separator, nullptr},
    {"mnuPurchaseReorder", "Reorder Suggestions(&R)", "mnuPurchase", K::NewWindow,
     screenid::Reorder},
    {"mnuPurchaseOrders", "Purchase Orders(&O)", "mnuPurchase", K::NewWindow,
     screenid::PurchaseOrders},
    {"mnuPurchaseReceive", "Receive Delivery(&D)", "mnuPurchase", K::NewWindow, screenid::Receive},
    {"mnuPurchaseReturns", "Returns to Suppliers(&T)", "mnuPurchase", K::NewWindow,
     screenid::Returns},

    {"mnuSale", "Sale(&S)", nullptr, K::Menu, nullptr},
    {"mnuSaleSell", "Selling Book(&S)", "mnuSale", K::NewWindow, screenid::Sell},
    {"mnuSaleTop10", "Top 10(&T)", "mnuSale", K::NewWindow, screenid::TopTen},
    {"mnuSaleQuery", "Books Query(&Q)", "mnuSale", K::NewWindow, screenid::BookQuery},
    {"mnuSaleBar", "-", "mnuSale", K::Separator, nullptr},
    {"mnuSaleReoport", "Sale Report(&R)", "mnuSale", K::Menu, nullptr},
    {"mnuSaleReoportDay", "Day Report(&D)", "mnuSaleReoport", K::NewWindow, screenid::DayReport},
    {"mnuSaleReoportMonth", "Month Report(&M)", "mnuSaleReoport", K::NewWindow,
     screenid::MonthReport},
    {"mnuSaleOnsale", "On sale Operation(&O)", "mnuSale", K::NewWindow, screenid::OnSale},
    {"mnuSaleBar1", "-", "mnuSale", K::Separator, nullptr},
    {"mnuSaleSessions", "Till Sessions(&I)", "mnuSale", K::NewWindow, screenid::TillSessions},
    {"mnuSaleXReport", "X Report(&X)", "mnuSale", K::NewWindow, screenid::XReport},
    {"mnuSaleRefused", "Refused Receipts(&F)", "mnuSale", K::NewWindow, screenid::RefusedReceipts},
    {"mnuSaleOrders", "Customer Orders(&C)", "mnuSale", K::NewWindow, screenid::CustomerOrders},

    {"mnuData", "DatabaseMaintain(&D)", nullptr, K::Menu, nullptr},
    {"mnuDataTitles", "Titles(&T)", "mnuData", K::NewWindow, screenid::DataTitles},
    {"mnuDatasoldbook", "SoldBooks(&S)", "mnuData", K::NewWindow, screenid::DataSoldBook},
    {"mnuDataPublisher", "Publisher(&H)", "mnuData", K::NewWindow, screenid::DataPublishers},
    {"mnuDataretail", "Retail(&R)", "mnuData", K::NewWindow, screenid::DataRetail},
    {"mnuDataBill", "Bill(&B)", "mnuData", K::NewWindow, screenid::DataBill},
    // The one maintenance item that shows a shared window.
    {"mnuDataPaidbill", "PaidBill(&P)", "mnuData", K::Shared, screenid::DataPaidBill},
    {"mnuDataOnsale", "On Sale(&O)", "mnuData", K::NewWindow, screenid::DataOnSale},
    {"mnuDataSubject", "Subject(&J)", "mnuData", K::NewWindow, screenid::DataSubject},
    {"mnuDataBar0", "-", "mnuData", K::Separator, nullptr},
    {"mnuDataTills", "Tills(&L)", "mnuData", K::NewWindow, screenid::DataTills},
    {"mnuDataPaymentMethods", "Payment Methods(&M)", "mnuData", K::NewWindow,
     screenid::DataPaymentMethods},
    {"mnuDataShopSettings", "Shop Settings(&G)", "mnuData", K::NewWindow,
     screenid::DataShopSettings},
    {"mnuDataRefundReasons", "Refund Reasons(&E)", "mnuData", K::NewWindow,
     screenid::DataRefundReasons},
    {"mnuDataOrderLimits", "Customer Order Limits(&C)", "mnuData", K::NewWindow,
     screenid::DataOrderLimits},

    {"mnuAccount", "Accounting(&A)", nullptr, K::Menu, nullptr},
    {"mnuAccountPayQue", "Print Bill(&P)", "mnuAccount", K::NewWindow, screenid::BillPrint},
    {"mnuAccountPay", "Paying Bill(&B)", "mnuAccount", K::NewWindow, screenid::BillPay},
    {"mnuAccountPayRec", "Records of PaidBill(&R)", "mnuAccount", K::NewWindow,
     screenid::PaidRecords},
    {"mnuAccountHeld", "Held Bills(&H)", "mnuAccount", K::NewWindow, screenid::HeldBills},

    {"mnuHelp", "Help(&H)", nullptr, K::Menu, nullptr},
    {"mnuHelpContents", "Context(&C)", "mnuHelp", K::Help, nullptr},
    {"mnuHelpBar0", "-", "mnuHelp", K::Separator, nullptr},
    {"mnuHelpAbout", "About Quillmart....(&A)", "mnuHelp", K::About, nullptr},
};

} // namespace

std::span<const MenuEntry> menuTable() {
    return kMenu;
}
