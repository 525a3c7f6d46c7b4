// The supplier invoice screen: what one OK writes to Bill, what it leaves in the boxes.
#include "datacombo.h"
#include "dataerror.h"
#include "datagrid.h"
#include "datepicker.h"
#include "invoicescreen.h"
#include "opendatabase.h"
#include "testsupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <gtest/gtest.h>

namespace {

const char *const billColumns =
    "SELECT [Invoice No],[Invoice Date],Fee,[Invoice Time],Retail FROM Bill ORDER BY rowid";

class Invoice : public ::testing::Test {
protected:
    void SetUp() override {
        shop.db.exec("INSERT INTO retail (RetName) VALUES ('O''Hara Books'),('North Supply')");
        screen = std::make_unique<InvoiceScreen>(shop.context);
    }
    // Fills the boxes as the operator would: number, day, fee and supplier.
    void type(const QString &number, QDate day, const QString &fee, const QString &supplier) {
        screen->numberBox()->setText(number);
        screen->datePicker()->setDate(day);
        screen->amountBox()->setText(fee);
        screen->supplierList()->setText(supplier);
    }
    QStringList inputs() const {
        return {screen->numberBox()->text(), screen->datePicker()->dayText(),
                screen->amountBox()->text(), screen->supplierList()->text()};
    }
    TestShop shop;
    std::unique_ptr<InvoiceScreen> screen;
};

} // namespace

TEST_F(Invoice, OpensOnTodayWithTheFirstSupplierAndTheBillColumns) {
    EXPECT_EQ(screen->windowTitle(), "Invoice ");
    EXPECT_EQ(inputs(), QStringList({"", "2001/5/3", "", "O'Hara Books"}));
    EXPECT_EQ(screen->supplierList()->count(), 2);
    QStringList headings;
    for (int c = 0; c < screen->grid()->model()->columnCount(); ++c)
        headings
            << screen->grid()->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    EXPECT_EQ(headings,
              QStringList({"Invoice No", "Invoice Date", "Fee", "Invoice Time", "Retail"}));
}

TEST_F(Invoice, OkWritesOneBillAtOnceShowsItAndEmptiesTheInputs) {
    type("A-17", QDate(2001, 4, 28), "1250.5", "O'Hara Books");
    shop.clock.set(QDate(2001, 5, 3), QTime(16, 45, 12)); // the click comes later than the load
    screen->findChild<QPushButton *>("Command4")->click();

    EXPECT_EQ(shop.db.rows(billColumns),
              QStringList({"A-17|2001-04-28|1250.5|16:45:12|O'Hara Books"}));
    const auto *model = screen->grid()->model();
    ASSERT_EQ(model->rowCount(), 1);
    EXPECT_EQ(model->data(model->index(0, 1), Qt::DisplayRole).toString(), "2001/4/28");
    EXPECT_EQ(model->data(model->index(0, 4), Qt::DisplayRole).toString(), "O'Hara Books");
    EXPECT_EQ(inputs(), QStringList({"", "2001/5/3", "", ""}));
    EXPECT_TRUE(shop.messages.shown.empty());
}

TEST_F(Invoice, AnEmptyNumberDoesNothingAndKeepsEveryInput) {
    type("", QDate(2001, 4, 2), "300", "North Supply");
    screen->recordInvoice();
    EXPECT_EQ(shop.db.count("Bill"), 0);
    EXPECT_EQ(inputs(), QStringList({"", "2001/4/2", "300", "North Supply"}));
    EXPECT_TRUE(shop.messages.shown.empty());
}

TEST_F(Invoice, ARepeatedOrBlankNumberIsAccepted) {
    shop.db.exec("INSERT INTO Bill ([Invoice No], Fee) VALUES ('A-1', 10)");
    screen = std::make_unique<InvoiceScreen>(shop.context); // lists the bill already there
    for (const QString number : {"A-1", " "}) {
        type(number, QDate(2001, 5, 1), "20", "North Supply");
        screen->recordInvoice();
    }
    EXPECT_EQ(shop.db.rows("SELECT [Invoice No], Fee FROM Bill ORDER BY rowid"),
              QStringList({"A-1|10", "A-1|20", " |20"}));
    EXPECT_EQ(screen->grid()->model()->rowCount(), 3);
}

TEST_F(Invoice, ASecondOkWithoutChoosingASupplierRecordsAnEmptyOne) {
    type("B-1", QDate(2001, 5, 3), "5", "North Supply");
    screen->recordInvoice();
    EXPECT_EQ(screen->supplierList()->text(), "");
    screen->numberBox()->setText("B-2");
    screen->recordInvoice();
    EXPECT_EQ(shop.db.rows("SELECT [Invoice No], Retail FROM Bill ORDER BY rowid"),
              QStringList({"B-1|North Supply", "B-2|"}));
}

TEST_F(Invoice, AnEmptyAmountRecordsTheBillWithoutAFee) {
    for (const QString fee : {"", "   "}) {
        type("C-" + QString::number(fee.size()), QDate(2001, 5, 3), fee, "North Supply");
        screen->recordInvoice();
    }
    EXPECT_EQ(shop.db.rows("SELECT [Invoice No], Fee FROM Bill ORDER BY rowid"),
              QStringList({"C-0|<null>", "C-3|<null>"}));
    EXPECT_TRUE(shop.messages.shown.empty());
}

TEST_F(Invoice, AnAmountThatIsNotANumberIsRefusedWithEveryInputKept) {
    for (const QString fee : {"abc", "12x", "1.2.3", "--5", "1e308", "90000000000001"}) {
        shop.messages.shown.clear();
        type("D-9", QDate(2001, 4, 30), fee, "O'Hara Books");
        screen->recordInvoice();
        EXPECT_EQ(shop.db.count("Bill"), 0) << fee.toStdString();
        EXPECT_EQ(inputs(), QStringList({"D-9", "2001/4/30", fee, "O'Hara Books"}));
        ASSERT_EQ(shop.messages.shown.size(), 1u);
        EXPECT_TRUE(shop.messages.shown[0].text.contains(fee));
        EXPECT_TRUE(shop.messages.shown[0].text.contains("not a number"));
    }
    EXPECT_EQ(screen->grid()->model()->rowCount(), 0);
}

TEST_F(Invoice, ABillTheDatabaseRefusesIsReportedKeptInTheBoxesAndNeverWrittenLater) {
    shop.db.failWrites("INSERT", "Bill");
    type("E-1", QDate(2001, 5, 2), "40", "North Supply");
    screen->recordInvoice();
    EXPECT_EQ(shop.messages.texts().join("|").contains("disk full"), true);
    EXPECT_EQ(inputs(), QStringList({"E-1", "2001/5/2", "40", "North Supply"}));
    EXPECT_EQ(screen->grid()->model()->rowCount(), 0);

    shop.db.stopFailingWrites();
    screen->recordInvoice();
    EXPECT_EQ(shop.db.rows("SELECT [Invoice No] FROM Bill"), QStringList({"E-1"}));
}

TEST_F(Invoice, AFeeChangedInTheGridIsWrittenOnCloseOrKeepsTheWindowOpen) {
    shop.db.exec("INSERT INTO Bill ([Invoice No], Fee) VALUES ('G-1', 10)");
    screen = std::make_unique<InvoiceScreen>(shop.context);
    auto *model = screen->grid()->model();
    ASSERT_TRUE(model->setData(model->index(0, 2), "ten", Qt::EditRole));
    EXPECT_FALSE(screen->close());
    EXPECT_EQ(shop.messages.shown.size(), 1u);
    EXPECT_EQ(model->data(model->index(0, 2), Qt::DisplayRole).toString(), "ten");

    ASSERT_TRUE(model->setData(model->index(0, 2), "12.5", Qt::EditRole));
    EXPECT_TRUE(screen->close());
    EXPECT_EQ(shop.db.rows("SELECT Fee FROM Bill"), QStringList({"12.5"}));
}

TEST_F(Invoice, CreateNewRetailOpensTheSharedSupplierScreenAndClosesThisOne) {
    ScreenRegistry registry;
    registry.add("dataRetail", [](const ShopContext &) { return new QWidget; });
    shop.opener.setRegistry(&registry);
    screen->findChild<QPushButton *>("cmdCreate")->click();
    EXPECT_EQ(shop.opener.opened, QStringList({"shared:dataRetail"}));
    EXPECT_EQ(shop.opener.closed, QList<QWidget *>({screen.get()}));
}

TEST_F(Invoice, CreateNewRetailStaysOpenWhenTheSupplierScreenCannotOpen) {
    screen->numberBox()->setText("F-1");
    screen->createRetail(); // the opener has no supplier screen to give
    EXPECT_TRUE(shop.opener.closed.isEmpty());
    EXPECT_EQ(screen->numberBox()->text(), "F-1");
}

TEST(InvoiceLoad, AMissingShopDatabaseIsAnErrorAtOpening) {
    TestShop shop;
    shop.context.shop = drivers::open(shop.db.path() + ".missing");
    EXPECT_THROW(InvoiceScreen screen(shop.context), DataError);
}
