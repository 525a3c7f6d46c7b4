// Copies that arrive in New Purchase Quantity go to the customer orders waiting for the title,
// oldest first and as far as they go, when the operator agrees.
#include "customerorders.h"
#include "newqtyscreen.h"
#include "shopsession.h"
#include "testsupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

class Arrivals : public ::testing::Test {
protected:
    void SetUp() override {
        shop.db.exec("INSERT INTO Titles (BOOKNO, ISBN, Title, [Sale Price], Qty) VALUES "
                     "(1, '111', 'One', 10, 0)");
        session = ShopSession::open(shop.context.shop);
        for (qint64 copies : {2, 1, 1}) {
            NewOrder order;
            order.customer = QStringLiteral("Customer %1").arg(++taken);
            order.isbn = QStringLiteral("111");
            order.quantity = copies;
            order.at = QDateTime(QDate(2001, 5, static_cast<int>(taken)), QTime(10, 0));
            shop::takeOrder(*session, order);
        }
        screen = std::make_unique<NewQtyScreen>(shop.context);
    }
    qint64 taken = 0;
    TestShop shop;
    std::shared_ptr<ShopSession> session;
    std::unique_ptr<NewQtyScreen> screen;
};

TEST_F(Arrivals, CopiesGoToTheOldestOrdersFirstWhenTheOperatorAgrees) {
    const struct {
        const char *copies;
        bool agree;
        const char *states;
        const char *told;
    } cases[] = {
        {"1", false, "requested requested requested", ""},
        // Two on the shelf now: the oldest order takes both, the others wait.
        {"1", true, "arrived requested requested", "Set aside for customer orders 1:"},
        {"2", true, "arrived arrived arrived", "Set aside for customer orders 2, 3:"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.copies);
        shop.messages.shown.clear();
        shop.messages.answerNext(c.agree);
        screen->isbnBox()->setText(QStringLiteral("111"));
        screen->quantityBox()->setText(QLatin1String(c.copies));
        screen->findChild<QPushButton *>("Command1")->click();
        EXPECT_EQ(shop.db.rows("SELECT State FROM customerorders ORDER BY OrderNo").join(' '),
                  c.states);
        const QStringList told = shop.messages.texts();
        ASSERT_FALSE(told.isEmpty());
        EXPECT_TRUE(told.first().startsWith("Customer orders wait for \"One\", oldest first"));
        if (*c.told) {
            EXPECT_TRUE(told.last().startsWith(QLatin1String(c.told))) << told.last().toStdString();
        }
    }
}

} // namespace
