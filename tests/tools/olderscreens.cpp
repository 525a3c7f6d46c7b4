// The screens of the receipts and of the sessions on an older shop: each says the shop must be
// upgraded first.
#include "olderscreens.h"

#include "allscreens.h"
#include "clock.h"
#include "opendatabase.h"
#include "receipts.h"
#include "screenids.h"
#include "screenregistry.h"
#include "shopversion.h"
#include "testsupport.h"
#include "tillsessions.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

void expectUpgradeFirstForLaterScreens(const QString &location, int version, bool file) {
    struct Case {
        const char *screenId;
        Qt::Key key; // pressed on the screen, which opens; none: the screen must not open
        int needs;   // the shop's version the screen or key needs
    };
    const int receipts = shop::receiptsVersion, sessions = shop::sessionsVersion;
    const Case cases[] = {{screenid::DataTills, Qt::Key_unknown, receipts},
                          {screenid::DataPaymentMethods, Qt::Key_unknown, receipts},
                          {screenid::DataShopSettings, Qt::Key_unknown, receipts},
                          {screenid::Sell, Qt::Key_F12, receipts},
                          {screenid::Sell, Qt::Key_F11, receipts},
                          {screenid::DataRefundReasons, Qt::Key_unknown, sessions},
                          {screenid::TillSessions, Qt::Key_unknown, sessions},
                          {screenid::XReport, Qt::Key_unknown, sessions},
                          {screenid::Sell, Qt::Key_F4, sessions},
                          {screenid::Sell, Qt::Key_F6, sessions}};
    ScreenRegistry registry;
    registerAllScreens(registry);
    FixedClock clock(QDate(2001, 5, 3), QTime(10, 30));
    RecordingOpener opener(&registry);
    for (const Case &c : cases) {
        if (c.needs <= version)
            continue;
        SCOPED_TRACE(std::string(c.screenId) + " key " + std::to_string(int(c.key)));
        RecordingMessageBoxes messages;
        const ShopContext context{drivers::open(location), &messages, &clock, &opener, nullptr, {}};
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
        EXPECT_EQ(messages.texts(), QStringList{shopversion::upgradeFirst(c.needs, version, file)});
    }
}
