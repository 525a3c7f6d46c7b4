// The toolbar of the main window, position by position.
#include "toolbartable.h"

#include "screenids.h"

namespace {

using K = CommandKind;

constexpr ToolbarEntry kGap = {nullptr, nullptr, 0, K::Separator, nullptr};

constexpr ToolbarEntry kToolbar[] = {
    kGap,
    {"invoice", "Invoice Bill", 1, K::Shared, screenid::Invoice},
    {"safeqty", "Safe Quantity", 2, K::Shared, screenid::SafeQty},
    {"newtitle", "new title creation", 13, K::Shared, screenid::NewTitle},
    {"newqty", "new purchasing quantity refresh", 12, K::Shared, screenid::NewQty},
    kGap,
    kGap,
    {"sellbook", "sell book operation", 3, K::Shared, screenid::Sell},
    {"top10", "Top 10", 4, K::Shared, screenid::TopTen},
    {"bookqry", "Book query", 5, K::Shared, screenid::BookQuery},
    {"day", "Sale report - day report", 6, K::Shared, screenid::DayReport},
    {"month", "Sale report - Month report", 7, K::Shared, screenid::MonthReport},
    {"onsale", "On sale ", 8, K::Shared, screenid::OnSale},
    kGap,
    kGap,
    {"printbill", "Print Bill", 9, K::Shared, screenid::BillPrint},
    {"paybill", "Paying bill", 10, K::Shared, screenid::BillPay},
    kGap,
    kGap,
    {"close", "close", 11, K::Exit, nullptr},
};

} // namespace

std::span<const ToolbarEntry> toolbarTable() {
    return kToolbar;
}
