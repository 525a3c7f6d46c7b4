// The eight table-maintenance screens: caption, heading, query, boxes, grid, AddNew variant.
#include "maintenancetable.h"
#include "screenids.h"

namespace {

const QString titlesQuery = QStringLiteral(
    "select BOOKNO,ISBN,Title,Author,Subject,Publisher,[Year Published],[Fixed Price],"
    "[Sale Price],PurchasePrice,Qty,SafeQty,Retail from Titles Order by BOOKNO");

std::vector<EditorDefinition> buildTable() {
    return {
        {screenid::DataTitles,
         "Record of Titles",
         "Records of the Titles ",
         titlesQuery,
         {{"BOOKNO:", 0, "BOOKNO", true, "(Auto)"},
          {"ISBN:", 1, "ISBN"},
          {"Title:", 2, "Title"},
          {"Author:", 3, "Author"},
          {"Subject:", 4, "Subject"},
          {"Publisher:", 5, "Publisher"},
          {"Year Published:", 6, "Year Published"}},
         {{"Fixed Price:", 7, "Fixed Price"},
          {"Sale Price:", 8, "Sale Price"},
          {"PurchasePrice:", 9, "PurchasePrice"},
          {"Qty:", 10, "Qty"},
          {"SafeQty:", 11, "SafeQty"},
          {"Retail:", 12, "Retail"}},
         {"BOOKNO", "ISBN", "Title", "Author", "Subject", "Publisher", "Year Published",
          "Fixed Price", "Sale Price", "PurchasePrice", "Qty", "SafeQty", "Retail"},
         screenid::NewTitle},
        {screenid::DataSubject,
         "Subject",
         "Records of Subject ",
         "select * from Subject",
         {{"Subject No:", 0, "Subject No"}, {"Subject:", 1, "Subject"}},
         {},
         {"Subject No", "Subject"}},
        {screenid::DataPublishers,
         "publisher",
         "Records of the Publishers",
         "select * from publishers",
         {},
         {},
         {"PubID", "Name", "Company Name", "Address", "City", "State", "Zip", "Telephone", "Fax"}},
        {screenid::DataRetail,
         "dataRetail",
         "Records of Retails",
         "select *  from retail Order by RetNo",
         {{"RetNo:", 1, "RetNo", true, "( Auto )"},
          {"RetName:", 2, "RetName"},
          {"RetAddress:", 3, "RetAddress"}},
         {{"RetTel:", 8, "RetTel"}, {"Salesman:", 9, "Salesman"}},
         {"RetNo", "RetName", "RetAddress", "RetTel", "Salesman"}},
        {screenid::DataBill,
         "dataBill",
         "Records of Bill",
         "select *  from Bill Order by [Invoice date]",
         {{"Invoice Date:", 1, "Invoice Date"}, {"Invoice NO", 2, "Invoice No"}, {"Fee", 3, "Fee"}},
         {{"Invoice Time", 8, "Invoice Time"}, {"Retail", 9, "Retail"}},
         {"Invoice No", "Invoice Date", "Fee", "Invoice Time", "Retail"}},
        {screenid::DataPaidBill,
         "data of PaidBill",
         "Records of the PaidBill",
         "select *  from PaidBill order by [Invoice Date]",
         {{"Invoice No:", 1, "Invoice No"},
          {"Invoice Date:", 2, "Invoice Date"},
          {"Fee:", 3, "Fee"}},
         {{"Time:", 8, "Time"}, {"Retail", 9, "Retail"}, {"Paid Date", 10, "Paid date"}},
         {"Invoice No", "Invoice Date", "Fee", "Time", "Retail", "Paid date"}},
        {screenid::DataSoldBook,
         "Records of the Sold Books ",
         "Records of the Sold Books",
         "select *  from soldbook Order by solddate",
         {{"SoldDate:", 1, "SoldDate"}, {"SoldTime:", 2, "SoldTime"}, {"ISBN:", 3, "ISBN"}},
         {{"Title:", 8, "Title"}, {"Price:", 9, "Price"}, {"Qty:", 10, "Qty"}},
         {"SoldDate", "SoldTime", "ISBN", "Title", "Price", "Qty"}},
        {screenid::DataOnSale,
         "dataOnsale",
         "Records of OnSale",
         "select *  from onsale",
         {{"ISBN:", 1, "ISBN"}, {"Onsale Price", 2, "OnSale Price"}},
         {{"Begin:", 3, "Begin"}, {"End:", 8, "End"}},
         {"ISBN", "OnSale Price", "Begin", "End"},
         screenid::OnSale},
    };
}

} // namespace

const std::vector<EditorDefinition> &maintenanceScreenTable() {
    static const std::vector<EditorDefinition> table = buildTable();
    return table;
}
