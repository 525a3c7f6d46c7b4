// The stock cycle on the file and on the server: what to reorder, purchase orders through
// their states, deliveries received in parts and beyond their orders, each copy counted once.
#include "customerorders.h"
#include "reorderlist.h"
#include "stockfixture.h"

namespace {

class StockCycle : public StockShop {};

TEST(ReorderArithmetic, SalesOverTheWindowCoverLeadAndCoverDays) {
    const ReorderDays days{30, 10, 20}; // 30 days of sales cover 30 days more
    const struct {
        const char *name;
        ReorderFigures figures;
        qint64 quantity;
    } cases[] = {
        {"no sales: up to the safe quantity", {0, 5, 2, 0, 0}, 3},
        {"no sales, enough on the shelf", {0, 5, 5, 0, 0}, 0},
        {"a month's sales again", {30, 0, 0, 0, 0}, 30},
        {"sales, the shelf and the safe quantity", {30, 4, 10, 0, 0}, 24},
        {"copies on order count as on the shelf", {30, 4, 10, 20, 0}, 4},
        {"customer orders not yet ordered add", {0, 0, 0, 0, 3}, 3},
        {"a fraction of a copy is a copy", {1, 0, 0, 0, 0}, 1},
        {"never below 0", {0, 0, 40, 10, 0}, 0},
        {"more on order than wanted", {30, 0, 0, 100, 2}, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(shop::suggestedQuantity(c.figures, days), c.quantity);
    }
    EXPECT_EQ(shop::suggestedQuantity({7, 0, 0, 0, 0}, {7, 0, 1}), 1); // a day's cover
    EXPECT_EQ(shop::suggestedQuantity({1, 0, 0, 0, 0}, {90, 0, 0}), 0);
}

// The list of a supplier from the shop's sales, orders and customer orders, with the days the
// supplier has or the shop's.
TEST_F(StockCycle, SuggestionsCountSalesInTheWindowOrdersAndCustomerOrders) {
    // One sold 10 within Bertram's 10 days and 50 before; Two sold 3; Three (Gardners) 20.
    shop.db.exec("INSERT INTO soldbook (SoldDate, SoldTime, ISBN, Title, Price, Qty) VALUES "
                 "('2001-04-24', '10:00:00', '0-306-40615-2', 'One', 10, 6), ('2001-05-03', "
                 "'10:00:00', '0-306-40615-2', 'One', 10, 4), ('2001-04-23', '10:00:00', "
                 "'0-306-40615-2', 'One', 10, 50), ('2001-05-02', '10:00:00', '222', 'Two', 8, 3), "
                 "('2001-05-02', '10:00:00', '333', 'Three', 9, 20)");
    shop::setReorderDays(*session, QStringLiteral("Bertram"), {10, 5, 5});
    const QDate today(2001, 5, 3);
    const auto listed = [&](const char *supplier) {
        QStringList list;
        for (const Suggestion &s :
             shop::reorderSuggestions(session->connection(), QLatin1String(supplier), today))
            list << QStringLiteral("%1:%2").arg(s.title).arg(s.quantity);
        return list.join(QLatin1Char(' '));
    };
    // One: 10/10 x 10 + 5 - 2 = 13; Two: 3/10 x 10 = 3.
    EXPECT_EQ(listed("Bertram"), "One:13 Two:3");
    order({{1, 4}}, false); // a draft counts as on order
    EXPECT_EQ(listed("Bertram"), "One:9 Two:3");
    NewOrder wanted;
    wanted.customer = QStringLiteral("Ada Finch");
    wanted.isbn = QStringLiteral("222");
    wanted.quantity = 2;
    wanted.at = at(2);
    shop::takeOrder(*session, wanted);
    EXPECT_EQ(listed("Bertram"), "One:9 Two:5");
    // Gardners has no days of its own: the shop's 90, 14 and 30 days, then the shop's own.
    EXPECT_EQ(listed("Gardners"), "Three:10");
    shop::setReorderDays(*session, QString(), {10, 10, 0});
    EXPECT_EQ(listed("Gardners"), "Three:20");
    EXPECT_EQ(shop::reorderDays(session->connection(), QStringLiteral("Gardners")),
              (ReorderDays{10, 10, 0}));
    EXPECT_EQ(shop::reorderSuggestion(session->connection(), 2, today).quantity, 5);
    // All lists at once are the lists one by one, each supplier with its own days.
    QStringList all;
    for (const auto &[supplier, list] : shop::everyReorderSuggestion(session->connection(), today))
        for (const Suggestion &s : list)
            all << QStringLiteral("%1/%2:%3").arg(supplier, s.title).arg(s.quantity);
    all.sort();
    EXPECT_EQ(all.join(QLatin1Char(' ')), "Bertram/One:9 Bertram/Two:5 Gardners/Three:20");
    EXPECT_TRUE(listed("Nobody").isEmpty());
}

// The operator's list: filled from the suggestions, a quantity changed, a line dropped, a title
// added, then a draft order of the lines with copies, the list emptied with it.
TEST_F(StockCycle, TheReorderListBecomesADraftOrder) {
    const QDate today(2001, 5, 3);
    const auto list = [&] {
        return shop.db.rows("SELECT Title, Suggested, Quantity FROM reorderlist ORDER BY Title")
            .join(QLatin1Char(' '));
    };
    shop::fillReorderList(*session, QStringLiteral("Bertram"), today);
    // One wants 3 (safe 5, 2 on the shelf); Two wants none and is not listed.
    EXPECT_EQ(list(), "One|3|3");
    shop::addToReorderList(*session, QStringLiteral("Bertram"), 2, today);
    EXPECT_EQ(list(), "One|3|3 Two|0|1");
    EXPECT_TRUE(refusalOf([&] {
                    shop::addToReorderList(*session, QStringLiteral("Bertram"), 2, today);
                }).contains("on the list already"));
    shop.db.exec("UPDATE reorderlist SET Quantity = 7 WHERE BOOKNO = 1");
    const qint64 orderNo = shop::orderReorderList(*session, at(3));
    EXPECT_EQ(orderNow(orderNo), "7/0/0 1/0/0 draft");
    EXPECT_EQ(shop.db.count("reorderlist"), 0);
    // The draft is on order now: the list suggests nothing more for One.
    shop::fillReorderList(*session, QStringLiteral("Bertram"), today);
    EXPECT_TRUE(list().isEmpty());
    EXPECT_TRUE(refusalOf([&] {
                    shop::orderReorderList(*session, at(3));
                }).contains("No line of the list"));
}

TEST_F(StockCycle, APartialDeliveryThenTheRest) {
    const qint64 orderNo = order({{1, 5}, {2, 3}});
    EXPECT_EQ(orderNow(orderNo), "5/0/0 3/0/0 sent");
    const struct {
        std::initializer_list<std::pair<qint64, qint64>> lines;
        const char *order;
        const char *stock;
    } steps[] = {
        {{{1, 2}}, "5/2/0 3/0/0 partly received", "4 0 1"},
        {{{2, 3}, {1, 1}, {1, 2}}, "5/5/0 3/3/0 received", "7 3 1"},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.order);
        const ReceivedDelivery got = shop::receive(*session, delivery(step.lines), false);
        EXPECT_EQ(got.extraCopies, 0);
        EXPECT_EQ(orderNow(orderNo), step.order);
        EXPECT_EQ(stock(), step.stock);
    }
    EXPECT_EQ(shop.db.rows("SELECT BOOKNO, Copies, Cost, Extra FROM deliverylines ORDER BY Entry"),
              (QStringList{"1|2|6|0", "2|3|4.5|0", "1|3|6|0"}));
}

// Copies beyond the order and titles on no order are warned about: refused until accepted,
// then received and recorded as more than ordered.
TEST_F(StockCycle, CopiesBeyondTheOrderAreWarnedThenRecorded) {
    const qint64 orderNo = order({{1, 2}});
    const Delivery d = delivery({{1, 3}, {2, 1}});
    EXPECT_EQ(shop::receivingWarnings(session->connection(), d),
              (QStringList{"1 copy of \"One\" more than the orders still want.",
                           "\"Two\" (1 copy) is on no open order to Bertram."}));
    const QStringList before = held();
    EXPECT_TRUE(refusalOf([&] {
                    shop::receive(*session, d, false);
                }).startsWith("The delivery was not received: 1 copy of \"One\" more"));
    EXPECT_EQ(held(), before);
    EXPECT_EQ(shop::receive(*session, d, true).extraCopies, 2);
    EXPECT_EQ(orderNow(orderNo), "2/3/0 received");
    EXPECT_EQ(stock(), "5 1 1");
    EXPECT_EQ(shop.db.rows("SELECT coalesce(Line, 0), BOOKNO, Copies, Extra FROM deliverylines "
                           "ORDER BY Entry"),
              (QStringList{"1|1|2|0", "1|1|1|1", "0|2|1|1"}));
}

// Two computers read the same order wanting 5 and both receive 5: the second finds the copies
// received and is warned, instead of counting them again.
TEST_F(StockCycle, TheSameOrderReceivedAtTwoComputersCountsEachCopyOnce) {
    const qint64 orderNo = order({{1, 5}});
    auto other = ShopSession::open(shop.context.shop);
    const Delivery d = delivery({{1, 5}}, orderNo);
    EXPECT_TRUE(shop::receivingWarnings(other->connection(), d).isEmpty());
    shop::receive(*session, d, false);
    EXPECT_NE(refusalOf([&] { shop::receive(*other, d, false); }), "(done)");
    EXPECT_EQ(orderNow(orderNo), "5/5/0 received");
    EXPECT_EQ(stock(), "7 0 1");
}

TEST_F(StockCycle, BadInputIsRefusedAndChangesNothing) {
    const qint64 draft = order({{1, 2}}, false);
    const qint64 sent = order({{2, 2}});
    const struct {
        const char *name;
        std::function<void()> work;
        const char *why;
    } cases[] = {
        {"copies not whole", [] { shop::copiesTyped("1.5"); }, "not a whole number"},
        {"copies not a number", [] { shop::copiesTyped("two"); }, "not a whole number"},
        {"copies below 0", [] { shop::copiesTyped("-1"); }, "1 copy or more"},
        {"no copies",
         [&] {
             shop::receive(*session, delivery({{1, 0}}), true);
         },
         "1 copy or more"},
        {"no titles", [&] { shop::receive(*session, delivery({}), true); }, "Scan or type"},
        {"no supplier",
         [&] {
             shop::receive(*session, delivery({{1, 1}}, 0, ""), true);
         },
         "Choose the supplier"},
        {"against a draft",
         [&] {
             shop::receive(*session, delivery({{1, 1}}, draft), true);
         },
         "is draft: only a sent"},
        {"a title gone",
         [&] {
             shop::receive(*session, delivery({{9, 1}}), true);
         },
         "no longer in the catalogue"},
        {"an order of nothing",
         [&] { shop::createPurchaseOrder(*session, QStringLiteral("Bertram"), {}, at(2)); },
         "at least one title"},
        {"an order of 0 copies",
         [&] {
             order({{1, 0}});
         },
         "1 copy or more"},
        {"an order of a title gone",
         [&] {
             order({{9, 1}});
         },
         "no longer in the catalogue"},
        {"sent twice", [&] { shop::sendPurchaseOrder(*session, sent, at(3)); },
         "is sent: it cannot be sent"},
        {"no such order", [&] { shop::closePurchaseOrder(*session, 99, at(3)); },
         "no purchase order 99"},
        {"reorder window of 0",
         [&] {
             shop::setReorderDays(*session, QStringLiteral("Bertram"), {0, 1, 1});
         },
         "1 to 3660 days"},
    };
    const QStringList before = held();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString why = refusalOf(c.work);
        EXPECT_TRUE(why.contains(QLatin1String(c.why))) << why.toStdString();
        EXPECT_EQ(held(), before);
    }
}

// Cancelling what is still to come, or closing, finishes an order; a customer order carried on
// an order is placed when it is sent, and gets its copies first when they come.
TEST_F(StockCycle, CancelCloseAndCustomerOrdersCarried) {
    NewOrder wanted;
    wanted.customer = QStringLiteral("Ada Finch");
    wanted.isbn = QStringLiteral("222");
    wanted.quantity = 1;
    wanted.at = at(1);
    const qint64 customer = shop::takeOrder(*session, wanted).orderNo;
    const qint64 orderNo = shop::createPurchaseOrder(
        *session, QStringLiteral("Bertram"),
        {{1, 4, std::nullopt, 0}, {2, 1, Money::parse(QStringLiteral("4")), customer}}, at(1));
    const auto customerState = [&] {
        return shop.db
            .scalar(
                QStringLiteral("SELECT State FROM customerorders WHERE OrderNo = %1").arg(customer))
            .toString();
    };
    EXPECT_EQ(customerState(), "requested");
    shop::sendPurchaseOrder(*session, orderNo, at(2));
    EXPECT_EQ(customerState(), "ordered");
    const ReceivedDelivery got = shop::receive(*session, delivery({{1, 1}, {2, 1}}), false);
    EXPECT_EQ(got.setAside, std::vector<qint64>{customer});
    EXPECT_EQ(customerState(), "arrived");
    const PurchaseOrder placed = shop::purchaseOrder(session->connection(), orderNo);
    ASSERT_EQ(placed.lines.size(), 2u);
    EXPECT_EQ(placed.total().text(), "28");
    shop::cancelPurchaseLine(*session, placed.lines[0].line, at(5));
    EXPECT_EQ(orderNow(orderNo), "4/1/3 1/1/0 received");
    EXPECT_NE(refusalOf([&] { shop::cancelPurchaseLine(*session, placed.lines[0].line, at(5)); }),
              "(done)");
    shop::closePurchaseOrder(*session, orderNo, at(6));
    EXPECT_EQ(orderNow(orderNo), "4/1/3 1/1/0 closed");
    EXPECT_EQ(shop::purchaseOrders(session->connection(), QStringLiteral("Bertram"), true).size(),
              0u);
}

} // namespace
