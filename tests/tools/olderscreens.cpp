// The receipts' screens on an older shop: each says the shop must be upgraded first.
#include "olderscreens.h"

#include "allscreens.h"
#include "clock.h"
#include "opendatabase.h"
#include "receipts.h"
#include "screenids.h"
#include "screenregistry.h"
#include "shopversion.h"
#include "testsupport.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

void expectUpgradeFirstForReceipts(const QString &location, int version, bool file) {
    struct Case {
        const char *screenId;
        Qt::Key key; // pressed on the screen, which opens; none: the screen must not open
    };
    const Case cases[] = {{screenid::DataTills, Qt::Key_unknown},
                          {screenid::DataPaymentMethods, Qt::Key_unknown},
                          {screenid::DataShopSettings, Qt::Key_unknown},
                          {screenid::Sell, Qt::Key_F12},
                          {screenid::Sell, Qt::Key_F11}};
    ScreenRegistry registry;
    registerAllScreens(registry);
    FixedClock clock(QDate(2001, 5, 3), QTime(10, 30));
    RecordingOpener opener(&registry);
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.screenId) + " key " + std::to_string(int(c.key)));
        RecordingMessageBoxes messages;
        const ShopContext context{drivers::open(location), &messages, &clock, &opener};
        std::unique_ptr<QWidget> screen(registry.create(c.screenId, context));
        if (c.key == Qt::Key_unknown) {
            EXPECT_EQ(screen, nullptr) << "opened on a shop of version " << version;
        } else {
            ASSERT_NE(screen, nullptr);
            screen->show();
            QApplication::setActiveWindow(screen.get());
            ASSERT_TRUE(QTest::qWaitForWindowActive(screen.get()));
            QWidget *focus = QApplication::focusWidget();
            QTest::keyClick(focus != nullptr ? focus : screen.get(), c.key);
        }
        EXPECT_EQ(messages.texts(),
                  QStringList{shopversion::upgradeFirst(shop::receiptsVersion, version, file)});
    }
}
