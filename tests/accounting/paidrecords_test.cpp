// Paid-bill records: listing by supplier and invoice dates, Delete, Refresh and Close.
#include "accountingfixture.h"
#include "paidrecordsscreen.h"

#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using namespace accounting_test;

TEST(PaidRecords, OpensOnEveryPaidBillBySupplier) {
    TestShop shop;
    seedListingBills(shop, "paidbill");
    PaidRecordsScreen screen(shop.context);

    EXPECT_EQ(screen.objectName(), "frmPayRec");
    EXPECT_EQ(screen.windowTitle(), "rec of payed bill");
    EXPECT_EQ(screen.findChild<QLabel *>("Label4")->text(), "Records of Paid bill");
    EXPECT_EQ(screen.findChild<QLabel *>("Label3")->text().remove('&'), "Retail =");
    EXPECT_EQ(screen.findChild<QPushButton *>("Command1")->text(), "list");
    EXPECT_EQ(screen.findChild<QWidget *>("picButtons")->findChildren<QPushButton *>().size(), 3);
    EXPECT_EQ(screen.findChild<QPushButton *>("cmdDelete")->text(), "Delete");
    EXPECT_EQ(screen.findChild<QPushButton *>("cmdRefresh")->text(), "Refresh");
    EXPECT_EQ(screen.findChild<QPushButton *>("cmdClose")->text(), "Close");
    EXPECT_EQ(screen.findChild<DatePicker *>("DTPicker1")->day(), QDate(2001, 5, 3));
    EXPECT_EQ(screen.findChild<DataCombo *>("DataCombo1")->text(), "") << "no supplier chosen yet";
    EXPECT_EQ(gridCaptions(screen),
              QStringList({"Invoice No", "Invoice Date", "Fee", "Time", "Retail", "Paid date"}));
    EXPECT_EQ(gridInvoices(screen), QStringList({"N-1", "A-1", "A-2", "A-3", "H-1", "C-1"}));
}

TEST(PaidRecords, ListsBySupplierAndInvoiceDateNotPaidDate) {
    for (const ListingCase &c : listingCases()) {
        SCOPED_TRACE(c.what);
        TestShop shop;
        seedListingBills(shop, "paidbill"); // all paid on 2001/5/3
        PaidRecordsScreen screen(shop.context);
        chooseListing(screen, c.supplier, c.from, c.to);
        QTest::mouseClick(screen.findChild<QPushButton *>("Command1"), Qt::LeftButton);
        EXPECT_EQ(sorted(gridInvoices(screen)), c.invoices);
        EXPECT_TRUE(shop.messages.shown.empty());
    }
}

TEST(PaidRecords, DeleteRemovesTheRecordWithoutAskingAndRefreshShowsIt) {
    TestShop shop;
    seedListingBills(shop, "paidbill");
    PaidRecordsScreen screen(shop.context);
    chooseListing(screen, "Ace Books", QDate(2001, 5, 2), QDate(2001, 5, 4));
    screen.list();
    selectInvoice(screen, "A-2");
    QTest::mouseClick(screen.findChild<QPushButton *>("cmdDelete"), Qt::LeftButton);

    EXPECT_TRUE(shop.messages.shown.empty());
    EXPECT_EQ(
        shop.db.rows("SELECT [Invoice No] FROM paidbill WHERE Retail='Ace Books' ORDER BY rowid"),
        QStringList({"A-1", "A-3"}));
    EXPECT_EQ(shop.db.count("Bill"), 0) << "a deleted record does not return to the open bills";

    addBill(shop, "paidbill", "A-4", QDate(2001, 5, 4), 5, "13:00:00", "Ace Books");
    QTest::mouseClick(screen.findChild<QPushButton *>("cmdRefresh"), Qt::LeftButton);
    EXPECT_EQ(sorted(gridInvoices(screen)), QStringList({"A-1", "A-3", "A-4"}));
}

TEST(PaidRecords, DeleteWithoutACurrentRecordTellsTheOperator) {
    TestShop shop;
    seedListingBills(shop, "paidbill");
    PaidRecordsScreen screen(shop.context);
    screen.deleteRecord();
    screen.deleteRecord(); // the deleted row's place has no record until one is chosen

    EXPECT_EQ(shop.db.count("paidbill"), 5);
    EXPECT_EQ(shop.messages.shown.size(), 1u);
    EXPECT_FALSE(shop.messages.shown[0].confirmation);
}

TEST(PaidRecords, CloseClosesTheScreen) {
    TestShop shop;
    auto *screen = new PaidRecordsScreen(shop.context);
    screen->setAttribute(Qt::WA_DeleteOnClose);
    screen->show();
    QTest::mouseClick(screen->findChild<QPushButton *>("cmdClose"), Qt::LeftButton);
    ASSERT_EQ(shop.opener.closed.size(), 1);
    EXPECT_EQ(shop.opener.closed[0], screen);
}
