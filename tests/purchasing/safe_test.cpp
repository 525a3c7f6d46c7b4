// The safe-quantity list: which titles are short, in which columns, and an unreadable shop.
#include "datagrid.h"
#include "opendatabase.h"
#include "recordsource.h"
#include "safescreen.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace {

QStringList listedIsbns(const SafeScreen &screen) {
    const auto *model = screen.grid()->model();
    QStringList isbns;
    for (int row = 0; row < model->rowCount(); ++row)
        isbns << model->data(model->index(row, 0), Qt::DisplayRole).toString();
    return isbns;
}

} // namespace

TEST(Safe, ListsOnlyTitlesWithStockStrictlyBelowTheSafeQuantity) {
    struct Stock {
        const char *isbn;
        const char *qty;
        const char *safeQty;
        bool listed;
    };
    const Stock stocks[] = {
        {"below", "2", "5", true},          {"equal", "5", "5", false},
        {"above", "9", "5", false},         {"negative", "-3", "0", true},
        {"no-qty", "NULL", "5", false},     {"no-safe", "2", "NULL", false},
        {"neither", "NULL", "NULL", false}, {"numeric-not-text", "9", "10", true},
        {"text-order", "10", "9", false},
    };
    TestShop shop;
    QStringList expected;
    for (const Stock &s : stocks) {
        shop.db.exec(QStringLiteral("INSERT INTO Titles (ISBN, Qty, SafeQty) VALUES ('%1', %2, %3)")
                         .arg(s.isbn, s.qty, s.safeQty));
        if (s.listed)
            expected << s.isbn;
    }
    SafeScreen screen(shop.context);
    EXPECT_EQ(listedIsbns(screen), expected);
    EXPECT_TRUE(shop.messages.shown.empty());
}

TEST(Safe, ShowsTheTitleColumnsInOrderReadOnly) {
    TestShop shop;
    shop.db.exec("INSERT INTO Titles (ISBN, Title, Author, Subject, Publisher, Qty, SafeQty, "
                 "Retail, [Sale Price]) VALUES ('0-14-1', 'Tea', 'Okakura', 'Essay', 'Penguin', "
                 "1, 4, 'O''Hara Books', 9.5)");
    SafeScreen screen(shop.context);
    EXPECT_EQ(screen.windowTitle(), "Safe quantity");
    const auto *model = screen.grid()->model();
    QStringList headings, cells;
    for (int c = 0; c < model->columnCount(); ++c) {
        headings << model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        cells << model->data(model->index(0, c), Qt::DisplayRole).toString();
    }
    EXPECT_EQ(headings, QStringList({"ISBN", "Title", "Author", "Subject", "Publisher", "Qty",
                                     "SafeQty", "Retail"}));
    EXPECT_EQ(cells, QStringList({"0-14-1", "Tea", "Okakura", "Essay", "Penguin", "1", "4",
                                  "O'Hara Books"}));
    EXPECT_FALSE(model->flags(model->index(0, 1)) & Qt::ItemIsEditable);
}

TEST(Safe, NoShortTitleMeansAnEmptyListAndNoMessage) {
    TestShop shop;
    shop.db.exec("INSERT INTO Titles (ISBN, Qty, SafeQty) VALUES ('full', 8, 3)");
    SafeScreen screen(shop.context);
    EXPECT_TRUE(listedIsbns(screen).isEmpty());
    EXPECT_TRUE(shop.messages.shown.empty());
}

TEST(Safe, AShopThatCannotBeReadIsReportedNotShownAsNothingShort) {
    TestShop shop;
    shop.context.shop = drivers::open(shop.db.path() + ".missing");
    SafeScreen screen(shop.context);
    EXPECT_TRUE(listedIsbns(screen).isEmpty());
    ASSERT_EQ(shop.messages.shown.size(), 1u);
    EXPECT_FALSE(shop.messages.shown[0].text.isEmpty());
}
