// The toolbar of the main window, position by position.
#include "toolbartable.h"

#include <cstring>

namespace {

using K = CommandKind;

constexpr ToolbarEntry kGap = {nullptr, nullptr, 0, K::Separator, nullptr};

constexpr ToolbarEntry kToolbar[] = {
    kGap,
    {"invoice", "Invoice Bill", 1, K::Shared, "frmInvoice"},
    {"safeqty", "Safe Quantity", 2, K::Shared, "frmSafe"},
    {"newtitle", "new title creation", 13, K::Shared, "frmCreTitles"},
    {"newqty", "new purchasing quantity refresh", 12, K::Shared, "frmNewQty"},
    kGap,
    kGap,
    {"sellbook", "sell book operation", 3, K::Shared, "frmSell"},
    {"top10", "Top 10", 4, K::Shared, "A1A2"},
    {"bookqry", "Book query", 5, K::Shared, "frmBookQuery"},
    {"day", "Sale report - day report", 6, K::Shared, "frmDayReport"},
    {"month", "Sale report - Month report", 7, K::Shared, "frmMonthRpt"},
    {"onsale", "On sale ", 8, K::Shared, "OnSaleReg"},
    kGap,
    kGap,
    {"printbill", "Print Bill", 9, K::Shared, "frmBill"},
    {"paybill", "Paying bill", 10, K::Shared, "frmCheckPay"},
    kGap,
    kGap,
    {"close", "close", 11, K::Exit, nullptr},
};

} // namespace

std::span<const ToolbarEntry> toolbarTable() {
    return kToolbar;
}

const ToolbarEntry *toolbarEntryForKey(const char *key) {
    if (key == nullptr)
        return nullptr;
    for (const ToolbarEntry &entry : kToolbar)
        if (entry.key != nullptr && std::strcmp(entry.key, key) == 0)
            return &entry;
    return nullptr;
}
