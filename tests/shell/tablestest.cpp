// The menu bar, toolbar, image list and status bar as the operator finds them.
#include "imagelist.h"
#include "shellfixture.h"
#include "shopmdiarea.h"
#include "shopstatusbar.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {

struct Row {
    QString name, caption, parent;
    bool operator==(const Row &o) const {
        return name == o.name && caption == o.caption && parent == o.parent;
    }
};

void PrintTo(const Row &r, std::ostream *os) {
    *os << qPrintable(r.name) << " \"" << qPrintable(r.caption) << "\" in " << qPrintable(r.parent);
}

// The menu bar flattened in screen order: menus, then their items top to bottom.
void collect(QMenu *menu, std::vector<Row> &rows) {
    for (QAction *action : menu->actions()) {
        if (action->isSeparator()) {
            rows.push_back({action->objectName(), "-", menu->objectName()});
            continue;
        }
        rows.push_back({action->objectName(), action->text(), menu->objectName()});
        if (QMenu *sub = QMenu::menuInAction(action))
            collect(sub, rows);
    }
}

std::vector<Row> menuRows(MainWindow &window) {
    std::vector<Row> rows;
    for (QAction *action : window.menuBar()->actions()) {
        rows.push_back({action->objectName(), action->text(), ""});
        collect(QMenu::menuInAction(action), rows);
    }
    return rows;
}

const std::vector<Row> kExpectedMenus = {
    {"mnuFile", "File(&F)", ""},
    {"mnuFileNewShop", "New Shop…(&N)", "mnuFile"},
    {"mnuFilePrintReceipt", "Print Receipt(&R)...", "mnuFile"},
    {"mnuFileRestore", "Restore a Backup(&B)...", "mnuFile"},
    {"mnuFileUpgrade", "Upgrade the Shop…(&U)", "mnuFile"},
    {"mnuFileBar0", "-", "mnuFile"},
    {"mnuFileExit", "Exit(&X)", "mnuFile"},
    {"mnuPurchase", "Purchase(&P)", ""},
    {"mnuPurchaseInvoice", "Invoice Bill(&I)", "mnuPurchase"},
    {"mnuPurchaseSafeqty", "Safe Qty(&S)", "mnuPurchase"},
    {"mnuPurchaseNewbook", "New book Data Creation(&N)", "mnuPurchase"},
    {"mnuPurchaseQty", "New Purchase Book Quantity (&Q)", "mnuPurchase"},
    {"mnuPurchaseBar0", "-", "mnuPurchase"},
    {"mnuPurchaseReorder", "Reorder Suggestions(&R)", "mnuPurchase"},
    {"mnuPurchaseOrders", "Purchase Orders(&O)", "mnuPurchase"},
    {"mnuPurchaseReceive", "Receive Delivery(&D)", "mnuPurchase"},
    {"mnuPurchaseReturns", "Returns to Suppliers(&T)", "mnuPurchase"},
    {"mnuSale", "Sale(&S)", ""},
    {"mnuSaleSell", "Selling Book(&S)", "mnuSale"},
    {"mnuSaleTop10", "Top 10(&T)", "mnuSale"},
    {"mnuSaleQuery", "Books Query(&Q)", "mnuSale"},
    {"mnuSaleBar", "-", "mnuSale"},
    {"mnuSaleReoport", "Sale Report(&R)", "mnuSale"},
    {"mnuSaleReoportDay", "Day Report(&D)", "mnuSaleReoport"},
    {"mnuSaleReoportMonth", "Month Report(&M)", "mnuSaleReoport"},
    {"mnuSaleOnsale", "On sale Operation(&O)", "mnuSale"},
    {"mnuSaleBar1", "-", "mnuSale"},
    {"mnuSaleSessions", "Till Sessions(&I)", "mnuSale"},
    {"mnuSaleXReport", "X Report(&X)", "mnuSale"},
    {"mnuSaleRefused", "Refused Receipts(&F)", "mnuSale"},
    {"mnuSaleOrders", "Customer Orders(&C)", "mnuSale"},
    {"mnuData", "DatabaseMaintain(&D)", ""},
    {"mnuDataTitles", "Titles(&T)", "mnuData"},
    {"mnuDatasoldbook", "SoldBooks(&S)", "mnuData"},
    {"mnuDataPublisher", "Publisher(&H)", "mnuData"},
    {"mnuDataretail", "Retail(&R)", "mnuData"},
    {"mnuDataBill", "Bill(&B)", "mnuData"},
    {"mnuDataPaidbill", "PaidBill(&P)", "mnuData"},
    {"mnuDataOnsale", "On Sale(&O)", "mnuData"},
    {"mnuDataSubject", "Subject(&J)", "mnuData"},
    {"mnuDataBar0", "-", "mnuData"},
    {"mnuDataTills", "Tills(&L)", "mnuData"},
    {"mnuDataPaymentMethods", "Payment Methods(&M)", "mnuData"},
    {"mnuDataShopSettings", "Shop Settings(&G)", "mnuData"},
    {"mnuDataRefundReasons", "Refund Reasons(&E)", "mnuData"},
    {"mnuDataOrderLimits", "Customer Order Limits(&C)", "mnuData"},
    {"mnuAccount", "Accounting(&A)", ""},
    {"mnuAccountPayQue", "Print Bill(&P)", "mnuAccount"},
    {"mnuAccountPay", "Paying Bill(&B)", "mnuAccount"},
    {"mnuAccountPayRec", "Records of PaidBill(&R)", "mnuAccount"},
    {"mnuAccountHeld", "Held Bills(&H)", "mnuAccount"},
    {"mnuHelp", "Help(&H)", ""},
    {"mnuHelpContents", "Context(&C)", "mnuHelp"},
    {"mnuHelpBar0", "-", "mnuHelp"},
    {"mnuHelpAbout", "About Quillmart....(&A)", "mnuHelp"},
};

struct Button {
    const char *key; // nullptr: a gap
    const char *tooltip;
    int picture;
};

const Button kExpectedToolbar[20] = {
    {nullptr, nullptr, 0},
    {"invoice", "Invoice Bill", 1},
    {"safeqty", "Safe Quantity", 2},
    {"newtitle", "new title creation", 13},
    {"newqty", "new purchasing quantity refresh", 12},
    {nullptr, nullptr, 0},
    {nullptr, nullptr, 0},
    {"sellbook", "sell book operation", 3},
    {"top10", "Top 10", 4},
    {"bookqry", "Book query", 5},
    {"day", "Sale report - day report", 6},
    {"month", "Sale report - Month report", 7},
    {"onsale", "On sale ", 8},
    {nullptr, nullptr, 0},
    {nullptr, nullptr, 0},
    {"printbill", "Print Bill", 9},
    {"paybill", "Paying bill", 10},
    {nullptr, nullptr, 0},
    {nullptr, nullptr, 0},
    {"close", "close", 11},
};

} // namespace

TEST(MainWindowFace, CaptionAndChildControls) {
    ShellFixture f;
    auto window = f.makeWindow();
    EXPECT_EQ(window->windowTitle(), "Quillmart");
    EXPECT_EQ(window->objectName(), "frmMain");
    EXPECT_NE(window->findChild<QToolBar *>("Toolbar1"), nullptr);
    EXPECT_NE(window->findChild<ShopStatusBar *>("sbStatusBar"), nullptr);
    EXPECT_NE(window->findChild<ImageList *>("imlIcons"), nullptr);
    EXPECT_EQ(window->mdiArea()->background().color(), QColor(0xC0, 0xFF, 0xC0));
}

TEST(MainWindowFace, MenuBarHasEveryEntryInOrder) {
    ShellFixture f;
    auto window = f.makeWindow();
    const std::vector<Row> rows = menuRows(*window);
    ASSERT_EQ(rows.size(), kExpectedMenus.size());
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i], kExpectedMenus[i]) << "entry " << i;
}

TEST(MainWindowFace, AcceleratorsAreUniqueWithinEachMenu) {
    ShellFixture f;
    auto window = f.makeWindow();
    std::vector<QList<QAction *>> groups{window->menuBar()->actions()};
    for (QMenu *menu : window->findChildren<QMenu *>())
        groups.push_back(menu->actions());
    for (const auto &group : groups) {
        QSet<QString> seen;
        for (QAction *action : group) {
            if (action->isSeparator())
                continue;
            const QKeySequence key = QKeySequence::mnemonic(action->text());
            ASSERT_FALSE(key.isEmpty()) << qPrintable(action->text());
            EXPECT_FALSE(seen.contains(key.toString())) << qPrintable(action->text());
            seen.insert(key.toString());
        }
    }
}

TEST(MainWindowFace, KeyboardAloneOpensAScreen) {
    ShellFixture f;
    auto window = f.makeWindow();
    f.addFakeScreens(*window, {"frmSell"});
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_S, Qt::AltModifier);
    auto *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->objectName(), "mnuSale");
    QTest::keyClick(popup, Qt::Key_S);
    EXPECT_EQ(openWindowCount(*window), 1);
}

TEST(MainWindowFace, ToolbarPositionsKeysTooltipsAndPictures) {
    ShellFixture f;
    auto window = f.makeWindow();
    auto *toolbar = window->findChild<QToolBar *>("Toolbar1");
    const QList<QAction *> actions = toolbar->actions();
    ASSERT_EQ(actions.size(), 20);
    for (int i = 0; i < 20; ++i) {
        const Button &want = kExpectedToolbar[i];
        QAction *action = actions[i];
        SCOPED_TRACE(testing::Message() << "position " << i + 1);
        if (want.key == nullptr) {
            EXPECT_FALSE(action->data().isValid());
            EXPECT_TRUE(action->icon().isNull());
            continue;
        }
        EXPECT_EQ(action->data().toString(), want.key);
        EXPECT_EQ(action->toolTip(), want.tooltip);
        EXPECT_EQ(action->icon().cacheKey(), window->imageList()->picture(want.picture).cacheKey());
        EXPECT_EQ(toolbar->widgetForAction(action)->accessibleName(), want.tooltip);
    }
}

TEST(MainWindowFace, ImageListHoldsThirteenDistinctPictures) {
    ImageList images;
    ASSERT_EQ(images.count(), 13);
    std::vector<QImage> drawn;
    for (int n = 1; n <= 13; ++n) {
        ASSERT_FALSE(images.picture(n).isNull()) << n;
        drawn.push_back(images.picture(n).pixmap(24, 24).toImage());
    }
    for (size_t a = 0; a < drawn.size(); ++a)
        for (size_t b = a + 1; b < drawn.size(); ++b)
            EXPECT_NE(drawn[a], drawn[b]) << a + 1 << " and " << b + 1;
    EXPECT_TRUE(images.picture(0).isNull());
    EXPECT_TRUE(images.picture(14).isNull());
}

// "Status", the date and the time come first and in that order; the shop's panel after them,
// whole at the window's first-start size (a short name; the whole in its tip).
TEST(MainWindowFace, StatusBarShowsStatusDateAndTimeThenTheShop) {
    ShellFixture f; // the test clock stands at 2001/5/3 10:30:00
    auto window = f.makeWindow();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    auto *bar = window->findChild<ShopStatusBar *>("sbStatusBar");
    int left = -1;
    for (const char *name : {"panelStatus", "panelDate", "panelTime", "panelShop"}) {
        const auto *panel = bar->findChild<QLabel *>(name);
        ASSERT_NE(panel, nullptr) << name;
        EXPECT_TRUE(panel->isVisible()) << name;
        EXPECT_GT(panel->x(), left) << name;
        EXPECT_GE(panel->width(), panel->sizeHint().width()) << name; // not cut
        left = panel->x() + panel->width() - 1;
    }
    EXPECT_LE(left, bar->width());
    EXPECT_FALSE(bar->shopText().contains(QChar(0x2026))) << bar->shopText().toStdString();
    EXPECT_TRUE(bar->shopToolTip().contains(f.shop.context.shop.describe()))
        << bar->shopToolTip().toStdString();
    EXPECT_EQ(bar->panelText(1), "Status");
    EXPECT_EQ(bar->panelText(2), "2001/5/3");
    EXPECT_EQ(bar->panelText(3), "10:30:00");
    f.shop.clock.set(QDate(2001, 12, 31), QTime(23, 59, 58));
    bar->refresh();
    EXPECT_EQ(bar->panelText(2), "2001/12/31");
    EXPECT_EQ(bar->panelText(3), "23:59:58");
}
