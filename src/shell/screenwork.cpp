// The desk of each screen.
#include "screenwork.h"

#include "screenids.h"

namespace {

struct Entry {
    const char *screenId;
    Desk desk;
    const char *what;
};

constexpr Entry kScreens[] = {
    {screenid::Sell, Desk::Counter, "Selling"},
    {screenid::BookQuery, Desk::Counter, "The book query"},
    {screenid::TopTen, Desk::TillReport, "The top-ten report"},
    {screenid::DayReport, Desk::TillReport, "The day report"},
    {screenid::MonthReport, Desk::TillReport, "The month report"},
    {screenid::OnSale, Desk::BackOffice, "Putting titles on offer"},
    {screenid::NewTitle, Desk::BackOffice, "Making new titles"},
    {screenid::Invoice, Desk::BackOffice, "Entering supplier invoices"},
    {screenid::SafeQty, Desk::BackOffice, "The safe-quantity list"},
    {screenid::NewQty, Desk::BackOffice, "Entering deliveries"},
    {screenid::BillPrint, Desk::BackOffice, "Printing bills"},
    {screenid::BillPay, Desk::BackOffice, "Paying bills"},
    {screenid::PaidRecords, Desk::BackOffice, "The paid-bill records"},
    {screenid::DataTitles, Desk::BackOffice, "Editing the titles"},
    {screenid::DataSubject, Desk::BackOffice, "Editing the subjects"},
    {screenid::DataPublishers, Desk::BackOffice, "Editing the publishers"},
    {screenid::DataRetail, Desk::BackOffice, "Editing the suppliers"},
    {screenid::DataBill, Desk::BackOffice, "Editing the open bills"},
    {screenid::DataPaidBill, Desk::BackOffice, "Editing the paid bills"},
    {screenid::DataSoldBook, Desk::BackOffice, "Editing the sales"},
    {screenid::DataOnSale, Desk::BackOffice, "Editing the offers"},
    {screenid::DataTills, Desk::BackOffice, "Keeping the tills"},
    {screenid::DataPaymentMethods, Desk::BackOffice, "Keeping the payment methods"},
    {screenid::DataShopSettings, Desk::BackOffice, "Keeping the shop's settings"},
    {screenid::DataRefundReasons, Desk::BackOffice, "Keeping the refund reasons"},
    // A till reprints its closed sessions' Z reports; what a session should hold before it is
    // counted is the back office's.
    {screenid::TillSessions, Desk::TillReport, "The list of till sessions"},
    {screenid::XReport, Desk::BackOffice, "The X report"},
    {screenid::RefusedReceipts, Desk::BackOffice, "The list of refused receipts"},
};

} // namespace

ScreenWork screenWork(const QString &screenId) {
    for (const Entry &entry : kScreens)
        if (screenId == QLatin1String(entry.screenId))
            return {entry.desk, QString::fromLatin1(entry.what)};
    return {Desk::BackOffice, QStringLiteral("This screen")};
}
