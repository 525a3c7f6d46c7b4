// Special offers: creating offers as entered, the guards of Create, deleting with confirmation.
#include "datagrid.h"
#include "datepicker.h"
#include "onsalescreen.h"
#include "recordsource.h"
#include "testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <gtest/gtest.h>
#include <memory>

namespace {

class OnSale : public ::testing::Test {
protected:
    void open() { screen = std::make_unique<OnSaleScreen>(shop.context); }
    QLineEdit *box(int index) {
        return screen->findChild<QLineEdit *>(QString("Text1_%1").arg(index));
    }
    DatePicker *picker(const char *name) { return screen->findChild<DatePicker *>(name); }
    void create(const QString &isbn, const QString &price, QDate begin = {}, QDate end = {}) {
        box(0)->setText(isbn);
        box(1)->setText(price);
        if (begin.isValid())
            picker("DTPicker1")->setDate(begin);
        if (end.isValid())
            picker("DTPicker2")->setDate(end);
        screen->findChild<QPushButton *>("Command1")->click();
    }
    QStringList offers() { return shop.db.rows("SELECT * FROM onsale ORDER BY rowid"); }

    TestShop shop;
    std::unique_ptr<OnSaleScreen> screen;
};

} // namespace

TEST_F(OnSale, OpensOnTodayWithEveryOffer) {
    shop.db.exec("INSERT INTO onsale VALUES ('111', 9, '2001-05-01', '2001-05-09'), "
                 "('222', 4.5, '2001-06-01', '2001-06-02')");
    open();
    EXPECT_EQ(screen->windowTitle(), "Onsale(record)");
    EXPECT_EQ(screen->findChild<QLabel *>("Label1")->text(), "Create records of  On Sale");
    EXPECT_EQ(screen->findChild<QPushButton *>("Command1")->text().remove('&'), "Create");
    EXPECT_EQ(screen->findChild<QPushButton *>("Command2")->text().remove('&'), "Delete Record");
    const char *const captions[] = {"ISBN", "OnSale Price", "Begin", "End"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(screen->findChild<QLabel *>(QString("lblLabels_%1").arg(i))->text().remove('&'),
                  captions[i]);
    EXPECT_EQ(picker("DTPicker1")->day(), QDate(2001, 5, 3));
    EXPECT_EQ(picker("DTPicker2")->day(), QDate(2001, 5, 3));
    const auto *grid = screen->findChild<DataGrid *>("DataGrid1");
    ASSERT_EQ(grid->model()->rowCount(), 2);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(grid->model()->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString(),
                  captions[i]);
    EXPECT_EQ(grid->model()->data(grid->model()->index(1, 2), Qt::DisplayRole).toString(),
              "2001/6/1");
}

TEST_F(OnSale, CreateStoresTheOfferAsEnteredAndResetsTheInputs) {
    struct Case {
        const char *isbn;
        const char *price;
        QDate begin;
        QDate end;
        const char *row;
    };
    const Case cases[] = {
        {"not-in-titles", "9.5", QDate(2001, 5, 1), QDate(2001, 5, 9),
         "not-in-titles|9.5|2001-05-01|2001-05-09"},
        {"111", "9", QDate(2001, 5, 1), QDate(2001, 5, 31), "111|9|2001-05-01|2001-05-31"},
        {"111", "8", QDate(2001, 5, 10), QDate(2001, 6, 30), "111|8|2001-05-10|2001-06-30"},
        {"222", "4", QDate(2001, 7, 9), QDate(2001, 7, 1), "222|4|2001-07-09|2001-07-01"},
        {" ", " 3 ", {}, {}, " |3|2001-05-03|2001-05-03"},
    };
    open();
    QStringList expected;
    for (const Case &c : cases) {
        create(c.isbn, c.price, c.begin, c.end);
        expected << c.row;
        EXPECT_EQ(offers(), expected) << c.isbn;
        EXPECT_EQ(box(0)->text(), "");
        EXPECT_EQ(box(1)->text(), "");
        EXPECT_EQ(picker("DTPicker1")->day(), QDate(2001, 5, 3));
        EXPECT_EQ(picker("DTPicker2")->day(), QDate(2001, 5, 3));
    }
    EXPECT_EQ(screen->findChild<DataGrid *>("DataGrid1")->model()->rowCount(), 5);
    EXPECT_TRUE(shop.messages.shown.empty());
}

TEST_F(OnSale, CreateWithAnEmptyBoxChangesNothing) {
    open();
    const std::pair<const char *, const char *> cases[] = {{"", "9"}, {"111", ""}, {"", ""}};
    for (const auto &[isbn, price] : cases) {
        create(isbn, price, QDate(2001, 5, 1));
        EXPECT_EQ(box(0)->text(), isbn);
        EXPECT_EQ(box(1)->text(), price);
        EXPECT_EQ(picker("DTPicker1")->day(), QDate(2001, 5, 1));
    }
    EXPECT_EQ(shop.db.count("onsale"), 0);
    EXPECT_TRUE(shop.messages.shown.empty());
}

TEST_F(OnSale, APriceThatIsNotANumberIsRefusedAndStaysTyped) {
    open();
    create("111", "ten", QDate(2001, 5, 1));
    EXPECT_EQ(shop.db.count("onsale"), 0);
    ASSERT_EQ(shop.messages.shown.size(), 1u);
    EXPECT_EQ(shop.messages.texts().first(),
              "The on-sale price \"ten\" is not a number. Please type a price such as 9.5.");
    EXPECT_EQ(box(0)->text(), "111");
    EXPECT_EQ(box(1)->text(), "ten");
    EXPECT_EQ(picker("DTPicker1")->day(), QDate(2001, 5, 1));
    // Corrected, it is stored once.
    box(1)->setText("10");
    screen->createOffer();
    EXPECT_EQ(offers(), QStringList{"111|10|2001-05-01|2001-05-03"});
}

TEST_F(OnSale, AFailedWriteStoresNothingAndKeepsTheInputs) {
    shop.db.failWrites("INSERT", "onsale");
    open();
    create("111", "9");
    EXPECT_EQ(shop.messages.texts(), QStringList{"disk full"});
    EXPECT_EQ(box(0)->text(), "111");
    shop.db.stopFailingWrites();
    create("222", "4");
    EXPECT_EQ(offers(), QStringList{"222|4|2001-05-03|2001-05-03"});
}

TEST_F(OnSale, DeleteAsksFirstAndRemovesOnlyTheSelectedOffer) {
    shop.db.exec("INSERT INTO onsale VALUES ('a', 1, '2001-05-01', '2001-05-02'), "
                 "('b', 2, '2001-05-01', '2001-05-02'), ('c', 3, '2001-05-01', '2001-05-02')");
    open();
    screen->findChild<DataGrid *>("DataGrid1")->view()->selectRow(1);
    shop.messages.answerNext(false);
    screen->deleteOffer();
    EXPECT_EQ(shop.db.count("onsale"), 3);
    screen->findChild<QPushButton *>("Command2")->click();
    EXPECT_EQ(shop.db.rows("SELECT ISBN FROM onsale ORDER BY rowid"), (QStringList{"a", "c"}));
    EXPECT_EQ(shop.messages.texts(),
              (QStringList{"This record is to be deleted.", "This record is to be deleted."}));
    EXPECT_TRUE(shop.messages.shown[0].confirmation);
    // The deleted row leaves no current row: another Delete removes nothing.
    screen->deleteOffer();
    EXPECT_EQ(shop.db.count("onsale"), 2);
}

TEST_F(OnSale, DeleteOnAnEmptyTableOnlyAsks) {
    open();
    screen->deleteOffer();
    EXPECT_EQ(shop.messages.texts(), QStringList{"This record is to be deleted."});
    EXPECT_EQ(shop.db.count("onsale"), 0);
}
