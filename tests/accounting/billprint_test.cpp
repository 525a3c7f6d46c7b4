// Bill printing: tempPay emptied and refilled by listings, the listing filters, the preview.
#include "accountingfixture.h"
#include "billprintscreen.h"
#include "billreport.h"
#include "shopsession.h"

#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace accounting_test;

namespace {

QStringList tempPayInvoices(TestShop &shop) {
    return shop.db.rows("SELECT [Invoice No] FROM tempPay ORDER BY rowid");
}

} // namespace

TEST(BillPrint, OpensWithItsControlsAndEmptiesTempPay) {
    TestShop shop;
    seedListingBills(shop, "Bill");
    shop.db.exec("INSERT INTO tempPay VALUES ('OLD', '2001-01-01', 1, '08:00:00', 'x', 'x')");
    BillPrintScreen screen(shop.context);

    EXPECT_EQ(screen.objectName(), "frmBill");
    EXPECT_EQ(screen.windowTitle(), "print Bill");
    EXPECT_EQ(screen.findChild<QLabel *>("Label3")->text(), "= Print Bill  =");
    EXPECT_EQ(screen.findChild<QLabel *>("Label4")->text().remove('&'), "Select Retail");
    EXPECT_EQ(screen.findChild<QPushButton *>("Command1")->text(), "Query List");
    EXPECT_EQ(screen.findChild<QPushButton *>("Command2")->text(), "Print Preview");
    EXPECT_EQ(screen.findChild<DatePicker *>("DTPicker1")->day(), QDate(2001, 5, 3));
    EXPECT_EQ(screen.findChild<DatePicker *>("DTPicker2")->day(), QDate(2001, 5, 3));
    EXPECT_EQ(gridCaptions(screen),
              QStringList({"Invoice No", "Invoice Date", "Fee", "Invoice Time", "Retail"}));
    EXPECT_EQ(gridInvoices(screen).size(), 6) << "all open bills before any listing";
    EXPECT_EQ(screen.findChild<DataCombo *>("DataCombo1")->count(), 3);
    EXPECT_EQ(screen.findChild<DataCombo *>("DataCombo1")->text(), "") << "no supplier chosen yet";
    EXPECT_EQ(shop.db.count("tempPay"), 0);
}

TEST(BillPrint, ListsTheSuppliersBillsOfThePeriodIntoTempPay) {
    for (const ListingCase &c : listingCases()) {
        SCOPED_TRACE(c.what);
        TestShop shop;
        seedListingBills(shop, "Bill");
        BillPrintScreen screen(shop.context);
        chooseListing(screen, c.supplier, c.from, c.to);
        QTest::mouseClick(screen.findChild<QPushButton *>("Command1"), Qt::LeftButton);

        EXPECT_EQ(sorted(gridInvoices(screen)), c.invoices);
        EXPECT_EQ(sorted(tempPayInvoices(shop)), c.invoices);
        const QStringList names = shop.db.rows("SELECT DISTINCT RetName FROM tempPay");
        EXPECT_TRUE(names.isEmpty() || names == QStringList{c.supplier});
        EXPECT_TRUE(shop.messages.shown.empty());
    }
}

TEST(BillPrint, CopiesEveryFieldByPositionWithTheChosenName) {
    TestShop shop;
    seedListingBills(shop, "Bill");
    BillPrintScreen screen(shop.context);
    chooseListing(screen, "O'Hara Books", QDate(2001, 5, 3), QDate(2001, 5, 3));
    screen.queryList();
    screen.findChild<DataCombo *>("DataCombo1")->setText("Ace Books"); // after the listing

    EXPECT_EQ(shop.db.rows("SELECT * FROM tempPay"),
              QStringList{"H-1|2001-05-03|45|10:00:00|O'Hara Books|O'Hara Books"});
}

TEST(BillPrint, TwoListingsLeaveOnlyTheSecond) {
    TestShop shop;
    seedListingBills(shop, "Bill");
    BillPrintScreen screen(shop.context);
    chooseListing(screen, "Ace Books", QDate(2001, 5, 2), QDate(2001, 5, 4));
    screen.queryList();
    chooseListing(screen, QString::fromUtf8("明日書局"), QDate(2001, 5, 3), QDate(2001, 5, 3));
    screen.queryList();

    EXPECT_EQ(tempPayInvoices(shop), QStringList{"C-1"});
}

TEST(BillPrint, AListingThatCannotBeCopiedLeavesTempPayEmpty) {
    TestShop shop;
    seedListingBills(shop, "Bill");
    // The second copied row fails: the first must not stay behind on its own.
    shop.db.failWrites("INSERT", "tempPay", "new.[Invoice No]='A-2'");
    BillPrintScreen screen(shop.context);
    chooseListing(screen, "Ace Books", QDate(2001, 5, 2), QDate(2001, 5, 4));
    screen.queryList();

    EXPECT_EQ(shop.db.count("tempPay"), 0);
    EXPECT_TRUE(shop.messages.shown.empty()) << "listing failures are skipped silently";
}

TEST(BillPrint, PrintPreviewShowsTheReportOfTempPayWithoutBlocking) {
    TestShop shop;
    seedListingBills(shop, "Bill");
    BillPrintScreen screen(shop.context);
    chooseListing(screen, "Ace Books", QDate(2001, 5, 2), QDate(2001, 5, 4));
    screen.queryList();
    QTest::mouseClick(screen.findChild<QPushButton *>("Command2"), Qt::LeftButton);

    QPrintPreviewDialog *preview = screen.preview();
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_FALSE(preview->isModal());
    EXPECT_TRUE(preview->testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_EQ(preview->windowTitle(), "DataReport1");

    const ReportRecords shown = billreport::readData(ShopSession::open(shop.db.shop())).records;
    const QStringList inTempPay = tempPayInvoices(shop);
    ASSERT_EQ(shown.rows.size(), 3);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(shown.text(row, "Invoice No"), inTempPay[row]);
        EXPECT_EQ(shown.text(row, "RetName"), "Ace Books");
        if (inTempPay[row] == "A-2") {
            EXPECT_EQ(shown.text(row, "Invoice Date"), "2001/5/2");
            EXPECT_EQ(shown.text(row, "Fee"), "37.5");
        }
    }
    preview->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(screen.preview(), nullptr);
}
