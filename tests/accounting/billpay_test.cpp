// Bill payment: listing, and moving exactly one bill from Bill to paidbill, whole or not at
// all.
#include "accountingfixture.h"
#include "billpayscreen.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using namespace accounting_test;

namespace {

const char *const confirmation = "This record is to be deleted! ";

QStringList openBills(TestShop &shop) {
    return shop.db.rows("SELECT [Invoice No] FROM Bill ORDER BY rowid");
}

void listAce(BillPayScreen &screen) {
    chooseListing(screen, "Ace Books", QDate(2001, 5, 2), QDate(2001, 5, 4));
    screen.queryList();
}

} // namespace

TEST(BillPay, OpensOnAllOpenBills) {
    TestShop shop;
    seedListingBills(shop, "Bill");
    BillPayScreen screen(shop.context);

    EXPECT_EQ(screen.objectName(), "frmCheckPay");
    EXPECT_EQ(screen.windowTitle(), "Paying Bill");
    EXPECT_EQ(screen.findChild<QGroupBox *>("Frame1")->title(), "Paying Bill      ");
    EXPECT_EQ(screen.findChild<QLineEdit *>("Text1")->text(), "Retail=");
    EXPECT_EQ(screen.findChild<QLineEdit *>("Text2")->text(), "from");
    EXPECT_EQ(screen.findChild<QLineEdit *>("Text3")->text(), "to");
    EXPECT_TRUE(screen.findChild<QLineEdit *>("Text1")->isReadOnly());
    EXPECT_EQ(screen.findChild<DataCombo *>("DataCombo1")->text(), "") << "no supplier chosen yet";
    EXPECT_EQ(screen.findChild<QPushButton *>("Command1")->text(), "Query List");
    EXPECT_EQ(screen.findChild<QPushButton *>("Command2")->text(), "Pay Confirm");
    EXPECT_EQ(gridCaptions(screen),
              QStringList({"Invoice No", "Invoice Date", "Fee", "Invoice Time", "Retail"}));
    EXPECT_EQ(gridInvoices(screen), QStringList({"A-1", "A-2", "A-3", "H-1", "N-1", "C-1"}));
}

TEST(BillPay, ListsTheSuppliersOpenBillsOfThePeriod) {
    for (const ListingCase &c : listingCases()) {
        SCOPED_TRACE(c.what);
        TestShop shop;
        seedListingBills(shop, "Bill");
        BillPayScreen screen(shop.context);
        chooseListing(screen, c.supplier, c.from, c.to);
        QTest::mouseClick(screen.findChild<QPushButton *>("Command1"), Qt::LeftButton);
        EXPECT_EQ(sorted(gridInvoices(screen)), c.invoices);
        EXPECT_TRUE(shop.messages.shown.empty());
    }
}

TEST(BillPay, PayingMovesExactlyTheCurrentBillWithTodayAsPaidDate) {
    TestShop shop;
    seedListingBills(shop, "Bill");
    shop.clock.set(QDate(2001, 5, 10), QTime(16, 0));
    BillPayScreen screen(shop.context);
    listAce(screen);
    selectInvoice(screen, "A-2"); // the operator picks a bill other than the first
    QTest::mouseClick(screen.findChild<QPushButton *>("Command2"), Qt::LeftButton);

    EXPECT_EQ(shop.messages.texts(), QStringList{confirmation});
    EXPECT_TRUE(shop.messages.shown[0].confirmation);
    EXPECT_EQ(shop.db.rows("SELECT * FROM paidbill"),
              QStringList{"A-2|2001-05-02|37.5|09:05:00|Ace Books|2001-05-10"});
    EXPECT_EQ(openBills(shop), QStringList({"A-1", "A-3", "H-1", "N-1", "C-1"}));
    EXPECT_EQ(sorted(gridInvoices(screen)), QStringList({"A-1", "A-3"}));
}

TEST(BillPay, NothingIsWrittenUnlessTheOperatorConfirmsABill) {
    struct Case {
        const char *what;
        bool list;         // list Ace's bills first (else an empty listing)
        bool payTwice;     // a second Pay Confirm right after a payment
        bool answer;       // OK in the confirmation
        int confirmations; // confirmations asked
        int paid;          // rows in paidbill afterwards
    };
    const Case cases[] = {
        {"cancel", true, false, false, 1, 0},
        {"empty listing", false, false, true, 0, 0},
        {"again right after a payment", true, true, true, 1, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TestShop shop;
        seedListingBills(shop, "Bill");
        BillPayScreen screen(shop.context);
        chooseListing(screen, c.list ? "Ace Books" : "Nobody", QDate(2001, 5, 2),
                      QDate(2001, 5, 4));
        screen.queryList();
        shop.messages.answerNext(c.answer);
        screen.payConfirm();
        if (c.payTwice)
            screen.payConfirm();

        int asked = 0;
        for (const auto &shown : shop.messages.shown)
            asked += shown.confirmation ? 1 : 0;
        EXPECT_EQ(asked, c.confirmations);
        EXPECT_EQ(shop.db.count("paidbill"), c.paid);
        EXPECT_EQ(shop.db.count("Bill"), 6 - c.paid);
        if (c.answer) { // the operator is told why nothing happened
            EXPECT_FALSE(shop.messages.shown.back().confirmation);
        }
    }
}

TEST(BillPay, AFailedPaymentLeavesTheBillOnlyInBill) {
    TestShop shop;
    seedListingBills(shop, "Bill");
    shop.db.failWrites("INSERT", "paidbill");
    BillPayScreen screen(shop.context);
    listAce(screen);
    screen.payConfirm();

    EXPECT_EQ(shop.messages.texts().last(), "disk full");
    EXPECT_EQ(shop.db.count("paidbill"), 0);
    EXPECT_EQ(openBills(shop), QStringList({"A-1", "A-2", "A-3", "H-1", "N-1", "C-1"}));
    EXPECT_EQ(sorted(gridInvoices(screen)), QStringList({"A-1", "A-2", "A-3"}));
}

TEST(BillPay, ABillPaidFromAnotherWindowIsNotPaidTwice) {
    TestShop shop;
    seedListingBills(shop, "Bill");
    BillPayScreen first(shop.context);
    BillPayScreen second(shop.context);
    listAce(first);
    listAce(second);
    selectInvoice(first, "A-1");
    selectInvoice(second, "A-1");
    first.payConfirm();  // pays A-1
    second.payConfirm(); // A-1 too, but it is gone

    EXPECT_EQ(shop.db.rows("SELECT [Invoice No] FROM paidbill"), QStringList{"A-1"});
    EXPECT_EQ(shop.db.count("Bill"), 5);
    EXPECT_TRUE(shop.messages.texts().last().contains("another window"));
    EXPECT_EQ(sorted(gridInvoices(second)), QStringList({"A-2", "A-3"}));
}
