// The eight table-maintenance screens: caption, heading, query, boxes, grid, AddNew variant.
#include "maintenancetable.h"

#include "screenids.h"
#include "shopsteps.h"
#include "shoptables.h"

namespace {

using namespace tables;

std::vector<EditorDefinition> buildTable() {
    return {
        {screenid::DataTitles, "Record of Titles", "Records of the Titles ",
         selectColumns(Titles::table, Titles::columns, orderBy(Titles::BOOKNO)),
         boxesFor(std::span(Titles::columns).first(7)),
         boxesFor(std::span(Titles::columns).subspan(7)), columnNames(Titles::columns),
         screenid::NewTitle},
        {screenid::DataSubject,
         "Subject",
         "Records of Subject ",
         selectAll(Subject::table),
         boxesFor(Subject::columns),
         {},
         columnNames(Subject::columns)},
        {screenid::DataPublishers,
         "publisher",
         "Records of the Publishers",
         selectAll(publishers::table),
         {},
         {},
         columnNames(publishers::columns)},
        {screenid::DataRetail,
         "dataRetail",
         "Records of Retails",
         selectAll(retail::table, orderBy(retail::RetNo)),
         {{"RetNo:", 1, retail::RetNo, true, "( Auto )"},
          {"RetName:", 2, retail::RetName},
          {"RetAddress:", 3, retail::RetAddress}},
         {{"RetTel:", 8, retail::RetTel}, {"Salesman:", 9, retail::Salesman}},
         columnNames(retail::columns)},
        {screenid::DataBill,
         "dataBill",
         "Records of Bill",
         selectAll(Bill::table, orderBy(Bill::InvoiceDate)),
         {{"Invoice Date:", 1, Bill::InvoiceDate},
          {"Invoice NO", 2, Bill::InvoiceNo},
          {"Fee", 3, Bill::Fee}},
         {{"Invoice Time", 8, Bill::InvoiceTime}, {"Retail", 9, Bill::Retail}},
         columnNames(Bill::columns)},
        {screenid::DataPaidBill,
         "data of PaidBill",
         "Records of the PaidBill",
         selectAll(paidbill::table, orderBy(paidbill::InvoiceDate)),
         {{"Invoice No:", 1, paidbill::InvoiceNo},
          {"Invoice Date:", 2, paidbill::InvoiceDate},
          {"Fee:", 3, paidbill::Fee}},
         {{"Time:", 8, paidbill::Time},
          {"Retail", 9, paidbill::Retail},
          {"Paid Date", 10, paidbill::PaidDate}},
         columnNames(paidbill::columns)},
        {screenid::DataSoldBook,
         "Records of the Sold Books ",
         "Records of the Sold Books",
         selectAll(soldbook::table, orderBy(soldbook::SoldDate)),
         {{"SoldDate:", 1, soldbook::SoldDate},
          {"SoldTime:", 2, soldbook::SoldTime},
          {"ISBN:", 3, soldbook::ISBN}},
         {{"Title:", 8, soldbook::Title},
          {"Price:", 9, soldbook::Price},
          {"Qty:", 10, soldbook::Qty}},
         columnNames(soldbook::columns)},
        {screenid::DataOnSale,
         "dataOnsale",
         "Records of OnSale",
         selectAll(onsale::table),
         {{"ISBN:", 1, onsale::ISBN}, {"Onsale Price", 2, onsale::OnSalePrice}},
         {{"Begin:", 3, onsale::Begin}, {"End:", 8, onsale::End}},
         columnNames(onsale::columns),
         screenid::OnSale},
        // The counter's tills (on a server, each with its login) and payment methods, and the
        // shop's payment settings: tables a shop has from version 3 on.
        {screenid::DataTills,
         "Tills",
         "Tills and their receipt numbers",
         selectAll(tills::table, orderBy(tills::Till)),
         {{"Till:", 1, tills::Till, true, "(Auto)"},
          {"Name:", 2, tills::Name},
          {"Prefix:", 3, tills::Prefix}},
         {{"Next number:", 8, tills::NextNumber, true}, {"Login:", 9, tills::Login}},
         columnNames(tills::columns)},
        {screenid::DataPaymentMethods,
         "Payment Methods",
         "How customers may pay",
         selectAll(paymentmethods::table, orderBy(paymentmethods::Method)),
         {{"Method:", 1, paymentmethods::Method, true, "(Auto)"},
          {"Name:", 2, paymentmethods::Name}},
         {{"Kind:", 8, paymentmethods::Kind}, {"Removed:", 9, paymentmethods::Removed}},
         columnNames(paymentmethods::columns)},
        {screenid::DataShopSettings,
         "Shop Settings",
         "Payments at the counter",
         selectAll(shopsettings::table, orderBy(shopsettings::Setting)),
         {{"Setting:", 1, shopsettings::Setting, true}},
         {{"Value:", 8, shopsettings::Value}},
         columnNames(shopsettings::columns)},
        // The reasons a refund may give: a shop of version 4 on.
        {screenid::DataRefundReasons,
         "Refund Reasons",
         "Why money is given back",
         selectAll(refundreasons::table, orderBy(refundreasons::Reason)),
         {{"Reason:", 1, refundreasons::Reason, true, "(Auto)"}, {"Name:", 2, refundreasons::Name}},
         {{"Removed:", 8, refundreasons::Removed}},
         columnNames(refundreasons::columns)},
        // The days the customer orders' lists and the wipe of names go by: a shop with
        // customer orders. A setting not here keeps its starting number of days.
        {screenid::DataOrderLimits,
         "Order Limits",
         "WaitingDays, AbandonDays, WipeDays",
         selectAll(ordersettings::table, orderBy(ordersettings::Setting)),
         {{"Setting:", 1, ordersettings::Setting, true}},
         {{"Days:", 8, ordersettings::Days}},
         columnNames(ordersettings::columns)},
    };
}

} // namespace

const std::vector<EditorDefinition> &maintenanceScreenTable() {
    static const std::vector<EditorDefinition> table = buildTable();
    return table;
}
