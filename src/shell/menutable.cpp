// The menu bar of the main window, entry by entry.
#include "menutable.h"

namespace {

using K = CommandKind;

constexpr MenuEntry kMenu[] = {
    {"mnuFile", "File(&F)", nullptr, K::Menu, nullptr},
    {"mnuFileNewShop", "New Shop…(&N)", "mnuFile", K::NewShop, nullptr},
    {"mnuFilePrintReceipt", "Print Receipt(&R)...", "mnuFile", K::Receipt, nullptr},
    {"mnuFileRestore", "Restore a Backup(&B)...", "mnuFile", K::Restore, nullptr},
    {"mnuFileBar0", "-", "mnuFile", K::Separator, nullptr},
    {"mnuFileExit", "Exit(&X)", "mnuFile", K::Exit, nullptr},

    {"mnuPurchase", "Purchase(&P)", nullptr, K::Menu, nullptr},
    {"mnuPurchaseInvoice", "Invoice Bill(&I)", "mnuPurchase", K::NewWindow, "frmInvoice"},
    {"mnuPurchaseSafeqty", "Safe Qty(&S)", "mnuPurchase", K::NewWindow, "frmSafe"},
    // The Titles maintenance screen, not the new-title screen of the toolbar.
    {"mnuPurchaseNewbook", "New book Data Creation(&N)", "mnuPurchase", K::NewWindow, "dataTitles"},
    {"mnuPurchaseQty", "New Purchase Book Quantity (&Q)", "mnuPurchase", K::NewWindow, "frmNewQty"},

    {"mnuSale", "Sale(&S)", nullptr, K::Menu, nullptr},
    {"mnuSaleSell", "Selling Book(&S)", "mnuSale", K::NewWindow, "frmSell"},
    {"mnuSaleTop10", "Top 10(&T)", "mnuSale", K::NewWindow, "A1A2"},
    {"mnuSaleQuery", "Books Query(&Q)", "mnuSale", K::NewWindow, "frmBookQuery"},
    {"mnuSaleBar", "-", "mnuSale", K::Separator, nullptr},
    {"mnuSaleReoport", "Sale Report(&R)", "mnuSale", K::Menu, nullptr},
    {"mnuSaleReoportDay", "Day Report(&D)", "mnuSaleReoport", K::NewWindow, "frmDayReport"},
    {"mnuSaleReoportMonth", "Month Report(&M)", "mnuSaleReoport", K::NewWindow, "frmMonthRpt"},
    {"mnuSaleOnsale", "On sale Operation(&O)", "mnuSale", K::NewWindow, "OnSaleReg"},

    {"mnuData", "DatabaseMaintain(&D)", nullptr, K::Menu, nullptr},
    {"mnuDataTitles", "Titles(&T)", "mnuData", K::NewWindow, "dataTitles"},
    {"mnuDatasoldbook", "SoldBooks(&S)", "mnuData", K::NewWindow, "dataSoldBook"},
    {"mnuDataPublisher", "Publisher(&H)", "mnuData", K::NewWindow, "datapublisher"},
    {"mnuDataretail", "Retail(&R)", "mnuData", K::NewWindow, "dataRetail"},
    {"mnuDataBill", "Bill(&B)", "mnuData", K::NewWindow, "dataBill"},
    // The one maintenance item that shows a shared window.
    {"mnuDataPaidbill", "PaidBill(&P)", "mnuData", K::Shared, "dataPaidBill"},
    {"mnuDataOnsale", "On Sale(&O)", "mnuData", K::NewWindow, "dataOnsale"},
    {"mnuDataSubject", "Subject(&J)", "mnuData", K::NewWindow, "dataSubject"},

    {"mnuAccount", "Accounting(&A)", nullptr, K::Menu, nullptr},
    {"mnuAccountPayQue", "Print Bill(&P)", "mnuAccount", K::NewWindow, "frmBill"},
    {"mnuAccountPay", "Paying Bill(&B)", "mnuAccount", K::NewWindow, "frmCheckPay"},
    {"mnuAccountPayRec", "Records of PaidBill(&R)", "mnuAccount", K::NewWindow, "frmPayRec"},

    {"mnuHelp", "Help(&H)", nullptr, K::Menu, nullptr},
    {"mnuHelpContents", "Context(&C)", "mnuHelp", K::Help, nullptr},
    {"mnuHelpBar0", "-", "mnuHelp", K::Separator, nullptr},
    {"mnuHelpAbout", "About Quillmart....(&A)", "mnuHelp", K::About, nullptr},
};

} // namespace

std::span<const MenuEntry> menuTable() {
    return kMenu;
}
