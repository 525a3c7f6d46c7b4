// Opening screens from the menus and the toolbar: new windows, shared windows, failures.
#include "allscreens.h"
#include "counterstart.h"
#include "dataerror.h"
#include "menutable.h"
#include "opendatabase.h"
#include "screenshottour.h"
#include "serverreach.h"
#include "shellfixture.h"
#include "shopmdiarea.h"
#include "shopstatusbar.h"
#include "testserver.h"
#include "tillcopy.h"
#include "toolbartable.h"

#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>
#include <optional>

namespace {

QAction *menuItem(MainWindow &w, const char *name) {
    QAction *action = w.findChild<QAction *>(name);
    EXPECT_NE(action, nullptr) << name;
    return action;
}

QString activeScreenId(MainWindow &w) {
    QMdiSubWindow *sub = w.mdiArea()->activeSubWindow();
    return sub && sub->widget() ? sub->widget()->objectName() : QString();
}

struct OpenerTest : testing::Test {
    ShellFixture f;
    std::unique_ptr<MainWindow> window = f.makeWindow();
    void SetUp() override {
        f.addFakeScreens(*window, screenshots::shellScreenIds());
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
};

} // namespace

TEST_F(OpenerTest, EachMenuItemOpensItsScreen) {
    const std::pair<const char *, const char *> items[] = {
        {"mnuPurchaseInvoice", "frmInvoice"},
        {"mnuPurchaseSafeqty", "frmSafe"},
        {"mnuPurchaseNewbook", "dataTitles"},
        {"mnuPurchaseQty", "frmNewQty"},
        {"mnuPurchaseReorder", "frmReorder"},
        {"mnuPurchaseOrders", "frmPurchaseOrders"},
        {"mnuPurchaseReceive", "frmReceive"},
        {"mnuPurchaseReturns", "frmReturns"},
        {"mnuSaleSell", "frmSell"},
        {"mnuSaleTop10", "A1A2"},
        {"mnuSaleQuery", "frmBookQuery"},
        {"mnuSaleReoportDay", "frmDayReport"},
        {"mnuSaleReoportMonth", "frmMonthRpt"},
        {"mnuSaleOnsale", "OnSaleReg"},
        {"mnuSaleSessions", "frmTillSessions"},
        {"mnuSaleXReport", "frmXReport"},
        {"mnuSaleRefused", "frmRefusedReceipts"},
        {"mnuDataTitles", "dataTitles"},
        {"mnuDatasoldbook", "dataSoldBook"},
        {"mnuDataPublisher", "datapublisher"},
        {"mnuDataretail", "dataRetail"},
        {"mnuDataBill", "dataBill"},
        {"mnuDataPaidbill", "dataPaidBill"},
        {"mnuDataOnsale", "dataOnsale"},
        {"mnuDataSubject", "dataSubject"},
        {"mnuDataRefundReasons", "dataRefundReasons"},
        {"mnuAccountPayQue", "frmBill"},
        {"mnuAccountPay", "frmCheckPay"},
        {"mnuAccountPayRec", "frmPayRec"},
    };
    for (const auto &[item, screen] : items) {
        menuItem(*window, item)->trigger();
        EXPECT_EQ(activeScreenId(*window), screen) << item;
    }
}

TEST_F(OpenerTest, EachToolbarButtonShowsItsScreen) {
    const std::pair<const char *, const char *> buttons[] = {
        {"invoice", "frmInvoice"},   {"safeqty", "frmSafe"},   {"newtitle", "frmCreTitles"},
        {"newqty", "frmNewQty"},     {"sellbook", "frmSell"},  {"top10", "A1A2"},
        {"bookqry", "frmBookQuery"}, {"day", "frmDayReport"},  {"month", "frmMonthRpt"},
        {"onsale", "OnSaleReg"},     {"printbill", "frmBill"}, {"paybill", "frmCheckPay"},
    };
    for (const auto &[key, screen] : buttons) {
        window->findChild<QToolBar *>("Toolbar1")->findChild<QAction *>(key)->trigger();
        EXPECT_EQ(activeScreenId(*window), screen) << key;
    }
}

TEST_F(OpenerTest, MenuOpensANewWindowEachTime) {
    menuItem(*window, "mnuSaleSell")->trigger();
    menuItem(*window, "mnuSaleSell")->trigger();
    EXPECT_EQ(openWindowCount(*window), 2);
    EXPECT_EQ(f.builds, 2);
}

TEST_F(OpenerTest, ToolbarShowsTheOneSharedWindow) {
    window->toolbarButtonClicked("sellbook");
    QWidget *first = window->mdiArea()->activeSubWindow()->widget();
    menuItem(*window, "mnuSaleQuery")->trigger(); // something else in front
    window->toolbarButtonClicked("sellbook");
    EXPECT_EQ(window->mdiArea()->activeSubWindow()->widget(), first);
    EXPECT_EQ(openWindowCount(*window), 2);
    // The menu's windows are independent of the shared one.
    menuItem(*window, "mnuSaleSell")->trigger();
    EXPECT_NE(window->mdiArea()->activeSubWindow()->widget(), first);
    EXPECT_EQ(openWindowCount(*window), 3);
}

TEST_F(OpenerTest, PaidBillMenuItemShowsOneSharedWindow) {
    menuItem(*window, "mnuDataPaidbill")->trigger();
    menuItem(*window, "mnuDataPaidbill")->trigger();
    EXPECT_EQ(openWindowCount(*window), 1);
    EXPECT_EQ(f.builds, 1);
}

TEST_F(OpenerTest, ClosedSharedWindowIsBuiltAfreshNextTime) {
    QWidget *first = window->openShared("frmSell");
    window->close(first);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(openWindowCount(*window), 0);
    window->openShared("frmSell");
    EXPECT_EQ(openWindowCount(*window), 1);
    EXPECT_EQ(f.builds, 2);
}

TEST_F(OpenerTest, KeysThatMatchNoButtonDoNothing) {
    for (const char *key : {"", "SellBook", "Close", "CLOSE", "sellbook ", "nothing"})
        window->toolbarButtonClicked(key);
    EXPECT_EQ(openWindowCount(*window), 0);
    EXPECT_TRUE(window->isVisible());
    // The gaps carry no key and no command.
    for (QAction *action : window->findChild<QToolBar *>("Toolbar1")->actions())
        if (!action->data().isValid())
            action->trigger();
    EXPECT_EQ(openWindowCount(*window), 0);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(OpenerTest, ScreenGetsTheMainWindowAsOpenerAndItsTitle) {
    std::optional<ShopContext> seen;
    window->screens().add("frmSell", [&](const ShopContext &context) {
        seen = context;
        return new FakeScreen("Sell Operation");
    });
    QWidget *screen = window->openNew("frmSell");
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(seen->opener, window.get());
    EXPECT_EQ(seen->shop.location(), f.shop.context.shop.location());
    auto *sub = qobject_cast<QMdiSubWindow *>(screen->parentWidget());
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->windowTitle(), "Sell Operation");
    screen->setWindowTitle("Sell Operation 2");
    EXPECT_EQ(sub->windowTitle(), "Sell Operation 2");
}

// On a server shop the counter's screens give up waiting for another till sooner than the
// back office's; a file keeps its own busy time-out.
TEST_F(OpenerTest, EachScreenWaitsAsLongAsItsDeskDoes) {
    window->setTimeouts(5, 60);
    const std::pair<const char *, int> waits[] = {
        {"frmSell", 5}, {"frmBookQuery", 5}, {"A1A2", 60}, {"frmInvoice", 60}, {"dataBill", 60}};
    for (const auto &[screenId, seconds] : waits) {
        ShopDatabase given;
        window->screens().add(screenId, [&](const ShopContext &context) {
            given = context.shop;
            return new FakeScreen(screenId);
        });
        ASSERT_NE(window->openNew(screenId), nullptr);
        EXPECT_EQ(given.settings().waitLimitSeconds, seconds) << screenId;
        EXPECT_EQ(given.settings().busyTimeoutMs, kScreenBusyTimeoutMs) << screenId;
        EXPECT_EQ(given.location(), f.shop.context.shop.location());
    }
}

TEST_F(OpenerTest, ScreenThatCannotLoadIsReportedAndNotOpened) {
    window->screens().add("frmSell", [](const ShopContext &) -> QWidget * {
        throw DataError("Cannot open the shop database: no such file");
    });
    menuItem(*window, "mnuSaleSell")->trigger();
    window->toolbarButtonClicked("sellbook");
    EXPECT_EQ(openWindowCount(*window), 0);
    EXPECT_EQ(f.shop.messages.texts(),
              QStringList({"Cannot open the shop database: no such file",
                           "Cannot open the shop database: no such file"}));
}

TEST(Opener, UnregisteredScreenIsNamedToTheOperator) {
    ShellFixture f;
    auto window = f.makeWindow();
    menuItem(*window, "mnuSaleSell")->trigger();
    window->toolbarButtonClicked("sellbook");
    EXPECT_EQ(window->openNew("frmSell"), nullptr);
    EXPECT_EQ(openWindowCount(*window), 0);
    EXPECT_EQ(f.shop.messages.texts(), QStringList(3, "This program has no screen \"frmSell\"."));
}

// The real table of screens: every command of the menus and the toolbar opens its screen.
TEST(Opener, EveryMenuEntryAndToolbarKeyOpensARegisteredScreen) {
    ShellFixture f;
    auto window = f.makeWindow();
    registerAllScreens(window->screens());
    window->show();
    int commands = 0;
    for (const MenuEntry &entry : menuTable())
        if (entry.screenId != nullptr) {
            menuItem(*window, entry.objectName)->trigger();
            EXPECT_EQ(activeScreenId(*window), entry.screenId) << entry.objectName;
            ++commands;
        }
    for (const ToolbarEntry &entry : toolbarTable())
        if (entry.screenId != nullptr) {
            window->toolbarButtonClicked(entry.key);
            EXPECT_EQ(activeScreenId(*window), entry.screenId) << entry.key;
            ++commands;
        }
    EXPECT_EQ(commands, 35 + 12);
    EXPECT_EQ(f.shop.messages.texts(), QStringList());
}

TEST_F(OpenerTest, ExitClosesEveryScreenThenTheFrame) {
    menuItem(*window, "mnuSaleSell")->trigger();
    window->toolbarButtonClicked("top10");
    menuItem(*window, "mnuFileExit")->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(openWindowCount(*window), 0);
    EXPECT_TRUE(f.settings().contains("Settings/MainLeft"));
}

TEST_F(OpenerTest, ScreenThatRefusesToCloseKeepsTheFrameOpen) {
    window->screens().add("frmSell", [](const ShopContext &) {
        return new FakeScreen("Sell Operation", /*refusesClose=*/true);
    });
    QWidget *stubborn = window->openNew("frmSell");
    window->toolbarButtonClicked("close");
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(f.settings().contains("Settings/MainLeft"));
    static_cast<FakeScreen *>(stubborn)->refusesClose = false;
    window->toolbarButtonClicked("close");
    EXPECT_FALSE(window->isVisible());
}

TEST_F(OpenerTest, FilePrintReceiptAsksTheWindowInFront) {
    struct Case {
        const char *front; // screen in front; nullptr for none
        bool hasReceipt;
        int printed, messages;
    };
    const Case cases[] = {
        {nullptr, false, 0, 1}, {"frmSell", true, 1, 1}, {"frmBookQuery", false, 1, 2}};
    int printed = 0;
    for (const Case &c : cases) {
        if (c.front != nullptr) {
            QWidget *screen = window->openNew(c.front);
            if (c.hasReceipt) {
                auto *print = new QAction(screen);
                print->setObjectName("printReceipt");
                QObject::connect(print, &QAction::triggered, [&printed] { ++printed; });
            }
        }
        menuItem(*window, "mnuFilePrintReceipt")->trigger();
        EXPECT_EQ(printed, c.printed) << (c.front ? c.front : "none");
        EXPECT_EQ(f.shop.messages.shown.size(), static_cast<std::size_t>(c.messages));
    }
}

// A shop on a server that cannot be reached: the operator is told which one and no screen
// opens; once the shop is there the same menu item opens the screen.
TEST(ServerShop, NoScreenOpensUntilTheServerShopCanBeReached) {
    if (!testserver::enabled())
        GTEST_SKIP() << "runs against the test server (test_shell_server)";
    const QString database = QStringLiteral("qm_later_%1").arg(QCoreApplication::applicationPid());
    ShellFixture f;
    f.shop.context.shop = drivers::open(testserver::locationOf(database));
    auto window = f.makeWindow();
    registerAllScreens(window->screens());
    const QString named = QStringLiteral("Server shop: %1 on this computer").arg(database);
    EXPECT_EQ(window->findChild<ShopStatusBar *>("sbStatusBar")->shopToolTip(), named);
    EXPECT_EQ(window->findChild<ShopStatusBar *>("sbStatusBar")->shopText(),
              "Server shop: " + database);

    window->findChild<QAction *>("mnuSaleSell")->trigger();
    EXPECT_EQ(openWindowCount(*window), 0);
    ASSERT_EQ(f.shop.messages.texts().size(), 1);
    // The operator's sentence, and libpq's own words apart from it; nothing was being stored.
    EXPECT_EQ(f.shop.messages.texts().first(),
              QStringLiteral("The shop server cannot be reached (%1). Check that the server is "
                             "running and that this computer can reach it, then try again.")
                  .arg(named));
    EXPECT_TRUE(f.shop.messages.shown.front().details.contains(database))
        << f.shop.messages.shown.front().details.toStdString();

    testserver::makeShop(database);
    window->findChild<QAction *>("mnuSaleSell")->trigger();
    EXPECT_EQ(f.shop.messages.texts().size(), 1);
    EXPECT_EQ(activeScreenId(*window), "frmSell");
}

// A till that kept what its counter needs, started while its server cannot be reached: the
// counter opens and the status bar says that it sells offline; every other screen is refused
// as before. A till that kept no open session is told that the counter needs the server.
TEST(ServerShop, OnlyTheCounterOfATillThatKeptItsSessionOpensWhileTheServerIsDown) {
    if (!testserver::enabled())
        GTEST_SKIP() << "runs against the test server (test_shell_server)";
    const QString database = QStringLiteral("qm_away_%1").arg(QCoreApplication::applicationPid());
    QTemporaryDir folder;
    TillSession open;
    open.id = 7;
    open.till = 1;
    open.tillName = QStringLiteral("Till 1");
    open.opened = QDateTime(QDate(2001, 5, 3), QTime(9, 0));
    const struct {
        const char *name;
        std::optional<TillSession> session;
        int windows;
        const char *told; // the start of the one message
    } cases[] = {{"kept with its session", open, 1, ""},
                 {"kept without one", std::nullopt, 0, "The shop server cannot be reached"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ShellFixture f;
        f.shop.context.shop = drivers::open(testserver::locationOf(database));
        f.shop.context.tillCopy = std::make_shared<TillCopy>(
            TillCopy::fileFor(folder.path(), QString::fromLatin1(c.name)));
        counterstart::keep(*f.shop.context.tillCopy,
                           {{true, CashRounding::None},
                            {{1, QStringLiteral("Cash"), MethodKind::Cash}},
                            Till{1, QStringLiteral("Till 1"), QStringLiteral("A")},
                            c.session,
                            {}});
        auto window = f.makeWindow();
        registerAllScreens(window->screens());
        window->findChild<QAction *>("mnuSaleSell")->trigger();
        EXPECT_EQ(openWindowCount(*window), c.windows);
        const QStringList told = f.shop.messages.texts();
        const QString bar = window->findChild<ShopStatusBar *>("sbStatusBar")->offlineText();
        if (c.windows == 1) {
            EXPECT_EQ(told, QStringList());
            EXPECT_TRUE(bar.startsWith("Offline: 0 receipts waiting. Last contact with the "
                                       "server: never"))
                << bar.toStdString();
        } else {
            ASSERT_EQ(told.size(), 1);
            EXPECT_TRUE(told[0].startsWith(QLatin1String(c.told))) << told[0].toStdString();
            EXPECT_TRUE(told[0].contains("needs the shop's server once to start"));
            EXPECT_EQ(bar, QString());
        }
        f.shop.messages.shown.clear();
        window->findChild<QAction *>("mnuSaleReoportDay")->trigger();
        EXPECT_EQ(openWindowCount(*window), c.windows);
        ASSERT_EQ(f.shop.messages.texts().size(), 1);
        EXPECT_TRUE(f.shop.messages.texts()[0].startsWith("The shop server cannot be reached"));
        EXPECT_FALSE(f.shop.messages.texts()[0].contains("once to start"));
    }
}

namespace {
// Answers a question by making the shop first, as its administrator might meanwhile.
class ShopMadeMeanwhile : public RecordingMessageBoxes {
public:
    explicit ShopMadeMeanwhile(QString database) : database_(std::move(database)) {}
    bool confirm(const QString &text, const QString &title, const QString &details) override {
        RecordingMessageBoxes::confirm(text, title, details);
        testserver::makeShop(database_);
        return true;
    }

private:
    QString database_;
};
} // namespace

// At start a server that cannot be reached is named, libpq's words apart from the sentence;
// nothing claims to have been stored, since nothing was tried. OK tries again at once, Cancel
// goes on without the shop.
TEST(ServerShop, AtStartOkTriesAgainAndCancelGoesOn) {
    if (!testserver::enabled())
        GTEST_SKIP() << "runs against the test server (test_shell_server)";
    const QString database = QStringLiteral("qm_start_%1").arg(QCoreApplication::applicationPid());
    const ShopDatabase shop = drivers::open(testserver::locationOf(database));
    RecordingMessageBoxes cancelled;
    cancelled.answerNext(false);
    ShopMadeMeanwhile triedAgain(database);
    RecordingMessageBoxes reached;
    struct Case {
        const char *what;
        RecordingMessageBoxes *boxes;
        bool reached;
        std::size_t asked;
    };
    const Case cases[] = {{"Cancel", &cancelled, false, 1},
                          {"OK once the shop is there", &triedAgain, true, 1},
                          {"a shop that answers", &reached, true, 0}};
    for (const Case &c : cases) {
        EXPECT_EQ(serverreach::untilReached(shop, *c.boxes), c.reached) << c.what;
        ASSERT_EQ(c.boxes->shown.size(), c.asked) << c.what;
        if (c.asked == 0)
            continue;
        const RecordingMessageBoxes::Shown &box = c.boxes->shown.front();
        EXPECT_TRUE(box.confirmation) << c.what;
        EXPECT_TRUE(box.text.startsWith(
            QStringLiteral("The shop server cannot be reached (%1)").arg(shop.describe())))
            << box.text.toStdString();
        EXPECT_FALSE(box.text.contains(QStringLiteral("stored"))) << box.text.toStdString();
        EXPECT_TRUE(box.text.contains(QStringLiteral("Press OK to try again"))) << c.what;
        EXPECT_TRUE(box.details.contains(database)) << box.details.toStdString();
        EXPECT_FALSE(box.text.contains(box.details)) << c.what;
    }
}
