// Every screen's identifier, declared once: the table of screens, the menus, the toolbar,
// screens that open another one and the tests all name a screen through these.
#pragma once

namespace screenid {

inline constexpr const char *Sell = "frmSell";
inline constexpr const char *OnSale = "OnSaleReg";
inline constexpr const char *TopTen = "A1A2";
inline constexpr const char *DayReport = "frmDayReport";
inline constexpr const char *MonthReport = "frmMonthRpt";
inline constexpr const char *BookQuery = "frmBookQuery";
inline constexpr const char *NewTitle = "frmCreTitles";
inline constexpr const char *Invoice = "frmInvoice";
inline constexpr const char *SafeQty = "frmSafe";
inline constexpr const char *NewQty = "frmNewQty";
inline constexpr const char *BillPrint = "frmBill";
inline constexpr const char *BillPay = "frmCheckPay";
inline constexpr const char *PaidRecords = "frmPayRec";
inline constexpr const char *DataTitles = "dataTitles";
inline constexpr const char *DataSubject = "dataSubject";
inline constexpr const char *DataPublishers = "datapublisher";
inline constexpr const char *DataRetail = "dataRetail";
inline constexpr const char *DataBill = "dataBill";
inline constexpr const char *DataPaidBill = "dataPaidBill";
inline constexpr const char *DataSoldBook = "dataSoldBook";
inline constexpr const char *DataOnSale = "dataOnsale";
inline constexpr const char *DataTills = "dataTills";
inline constexpr const char *DataPaymentMethods = "dataPaymentMethods";
inline constexpr const char *DataShopSettings = "dataShopSettings";
inline constexpr const char *DataRefundReasons = "dataRefundReasons";
inline constexpr const char *DataOrderLimits = "dataOrderLimits";
inline constexpr const char *TillSessions = "frmTillSessions";
inline constexpr const char *XReport = "frmXReport";
inline constexpr const char *RefusedReceipts = "frmRefusedReceipts";
inline constexpr const char *CustomerOrders = "frmCustomerOrders";
inline constexpr const char *Reorder = "frmReorder";
inline constexpr const char *PurchaseOrders = "frmPurchaseOrders";
inline constexpr const char *Receive = "frmReceive";
inline constexpr const char *HeldBills = "frmHeldBills";
inline constexpr const char *Returns = "frmReturns";

} // namespace screenid
