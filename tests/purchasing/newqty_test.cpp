// frmNewQty: OK adds the typed copies to the stored stock of the first title with the ISBN.
#include "datagrid.h"
#include "newqtyscreen.h"
#include "recordsource.h"
#include "testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

namespace {

class NewQty : public ::testing::Test {
protected:
    void SetUp() override {
        shop.db.exec("INSERT INTO Titles (BOOKNO,ISBN,Title,Qty) VALUES (1,'111','One',5),"
                     "(2,'222','Two',6),(3,'222','Two again',8),(4,'','No code',1)");
        screen = std::make_unique<NewQtyScreen>(shop.context);
    }
    void ok(const QString &isbn, const QString &copies) {
        screen->isbnBox()->setText(isbn);
        screen->quantityBox()->setText(copies);
        screen->findChild<QPushButton *>("Command1")->click();
    }
    QString stock() { return shop.db.rows("SELECT Qty FROM Titles ORDER BY BOOKNO").join(' '); }
    QString gridQty(int row) {
        const RecordTableModel &model = *screen->grid()->model();
        return model.data(model.index(row, 10), Qt::DisplayRole).toString();
    }
    TestShop shop;
    std::unique_ptr<NewQtyScreen> screen;
};

} // namespace

TEST_F(NewQty, OkAddsToTheFirstTitleWithTheIsbnAndStoresItAtOnce) {
    struct Case {
        QString isbn, copies, stock;
        int row;
    };
    const Case cases[] = {
        {"111", "12", "17 6 8 1", 0},
        {"222", "3", "17 9 8 1", 1}, // the smaller BOOKNO of the two
        {"", "2", "17 9 8 3", 3},    // a blank ISBN finds the title without one
        {"111", "-2", "15 9 8 3", 0},
    };
    for (const Case &c : cases) {
        ok(c.isbn, c.copies);
        EXPECT_EQ(stock(), c.stock) << c.isbn.toStdString();
        EXPECT_EQ(gridQty(c.row), c.stock.split(' ')[c.row]);
        EXPECT_EQ(screen->source()->position(), c.row + 1);
        EXPECT_FALSE(screen->source()->hasPending());
        EXPECT_EQ(screen->isbnBox()->text(), "");
        EXPECT_EQ(screen->quantityBox()->text(), "");
    }
    EXPECT_TRUE(shop.messages.shown.empty());
}

TEST_F(NewQty, TwoOksInARowAddBoth) {
    ok("222", "2");
    ok("222", "3");
    EXPECT_EQ(stock(), "5 11 8 1");
    EXPECT_EQ(gridQty(1), "11");
}

TEST_F(NewQty, AddsToTheStockStoredNowNotTheOneReadAtOpening) {
    shop.db.exec("UPDATE Titles SET Qty=Qty-4 WHERE BOOKNO=1"); // sold on the selling screen
    ok("111", "12");
    EXPECT_EQ(stock(), "13 6 8 1");
    EXPECT_EQ(gridQty(0), "13");
}

TEST_F(NewQty, WhatCannotBeAddedIsExplainedAndStaysInTheBoxes) {
    struct Case {
        QString isbn, copies, message;
    };
    const Case cases[] = {
        {"999", "12", "Cannot find this book title! "},
        {"22", "12", "Cannot find this book title! "}, // exact text only
        {"111", "", ""},
        {"111", "twelve", ""},
    };
    for (const Case &c : cases) {
        shop.messages.shown.clear();
        ok(c.isbn, c.copies);
        ASSERT_EQ(shop.messages.shown.size(), 1u) << c.copies.toStdString();
        if (!c.message.isEmpty())
            EXPECT_EQ(shop.messages.shown[0].text, c.message);
        else
            EXPECT_TRUE(shop.messages.shown[0].text.contains("New Purchase Quantity"));
        EXPECT_EQ(stock(), "5 6 8 1");
        EXPECT_FALSE(screen->source()->hasPending());
        EXPECT_EQ(screen->isbnBox()->text(), c.isbn);
        EXPECT_EQ(screen->quantityBox()->text(), c.copies);
    }
}

TEST_F(NewQty, AFailedSaveLeavesTheStockAndNothingPending) {
    shop.db.failWrites("UPDATE", "Titles");
    ok("111", "12");
    ASSERT_EQ(shop.messages.shown.size(), 1u);
    EXPECT_TRUE(shop.messages.shown[0].text.contains("disk full"));
    EXPECT_FALSE(screen->source()->hasPending());
    EXPECT_EQ(gridQty(0), "5");
    EXPECT_EQ(screen->quantityBox()->text(), "12");

    shop.db.stopFailingWrites();
    screen->findChild<QPushButton *>("Command1")->click();
    EXPECT_EQ(stock(), "17 6 8 1"); // added once, not twice
}

TEST_F(NewQty, AnEmptyCatalogueFindsNothing) {
    shop.db.exec("DELETE FROM Titles");
    screen->findChild<QPushButton *>("cmdRefresh")->click();
    ok("111", "12");
    EXPECT_EQ(shop.messages.texts(), QStringList{"Cannot find this book title! "});
}

TEST_F(NewQty, ShowsEveryTitleAndAddNewOpensTheNewTitleScreen) {
    EXPECT_EQ(screen->windowTitle(), "New Quantity Refresh");
    EXPECT_EQ(screen->findChild<QLabel *>("Label2")->text(), "Quantity Refresh ");
    EXPECT_EQ(screen->findChild<QLabel *>("lblLabels_2")->text(), "New Purchase Quantity");
    EXPECT_EQ(screen->grid()->model()->columnCount(), 13);
    EXPECT_EQ(screen->grid()->model()->rowCount(), 4);
    EXPECT_EQ(screen->box(1), nullptr); // the two boxes are not bound to a field
    screen->findChild<QPushButton *>("cmdAdd")->click();
    EXPECT_EQ(shop.opener.opened, QStringList{"shared:frmCreTitles"});
    EXPECT_EQ(shop.opener.closed, QList<QWidget *>{screen.get()});
}
