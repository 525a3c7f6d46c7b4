// Customer orders on the file and on the server: only the moves of the table are made, each
// once; copies are set aside oldest order first and never twice; deposits are followed to the
// collection or the cancellation; bad input changes nothing; lists and the daily wipe.
#include "opendatabase.h"
#include "ordersfixture.h"
#include "receipts.h"
#include "testserver.h"

#include <atomic>
#include <latch>
#include <thread>

namespace {

using S = OrderState;

class CustomerOrders : public Orders {};

// Every state against every target: the move is made exactly when the table allows it, and a
// refused move leaves the order, its history, its copies and its money as they were.
TEST_F(CustomerOrders, OnlyTheMovesOfTheTableAreMade) {
    const S states[] = {S::Requested, S::Ordered,   S::Arrived,  S::Told,
                        S::Collected, S::Cancelled, S::Abandoned};
    shop.db.exec("UPDATE Titles SET Qty = 100"); // copies for every order that arrives
    for (S from : states)
        for (S to : states) {
            if (to == S::Requested)
                continue; // an order starts requested; nothing moves it back
            SCOPED_TRACE(orderstates::stored(from).toStdString() + " -> " +
                         orderstates::stored(to).toStdString());
            const qint64 order = orderIn(from);
            const QStringList before = held();
            const QString why = refusalOf([&] { moveTo(order, to); });
            if (orderstates::move(from, to)) {
                EXPECT_EQ(why, "(done)");
                EXPECT_EQ(stateOf(order), orderstates::stored(to));
            } else {
                EXPECT_NE(why, "(done)");
                EXPECT_EQ(held(), before);
            }
        }
}

TEST_F(CustomerOrders, BadInputIsRefusedAndChangesNothing) {
    const qint64 order = take(2); // two copies at 15
    const struct {
        const char *name;
        std::function<void()> work;
        const char *why;
    } cases[] = {
        {"no customer",
         [&] {
             NewOrder o = newOrder();
             o.customer = " ";
             shop::takeOrder(*session, o);
         },
         "Give the customer's name."},
        {"no copies", [&] { shop::takeOrder(*session, newOrder(0)); }, "1 copy or more"},
        {"copies below 0", [&] { shop::takeOrder(*session, newOrder(-2)); }, "1 copy or more"},
        {"wrong check digit", [&] { shop::takeOrder(*session, newOrder(1, "0-306-40615-3")); },
         "check digit"},
        {"a title the catalogue lacks, untold",
         [&] { shop::takeOrder(*session, newOrder(1, "9780000000002")); },
         "give its title and price"},
        {"deposit above the price",
         [&] { shop::takeDeposit(*session, deposit(1, order, "30.01")); },
         "more than its price of 30"},
        {"deposit of 0", [&] { shop::takeDeposit(*session, deposit(2, order, "0")); },
         "more than 0"},
        {"deposit on no order", [&] { shop::takeDeposit(*session, deposit(3, 999, "1")); },
         "no customer order 999"},
        {"deposit in no open session",
         [&] {
             DepositMoney money = deposit(4, order, "1");
             money.session = opened.id + 1;
             shop::takeDeposit(*session, money);
         },
         "this till's open session"},
        {"collecting before arrival", [&] { shop::collect(*session, order, {}, at(6)); },
         "only once its copies have arrived"},
        {"told without how", [&] { shop::moveOrder(*session, order, S::Told, at(6)); }, "Say how"},
    };
    const QStringList before = held();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString why = refusalOf(c.work);
        EXPECT_TRUE(why.contains(QLatin1String(c.why))) << why.toStdString();
        EXPECT_EQ(held(), before);
    }
}

// Found under any form of its ISBN, or added to the catalogue with no stock and the price.
TEST_F(CustomerOrders, TheTitleIsFoundOrAdded) {
    NewOrder known = newOrder(1, "978-0-306-40615-7");
    const TakenOrder found = shop::takeOrder(*session, known);
    EXPECT_FALSE(found.titleAdded);
    EXPECT_EQ(shop.db.rows(QStringLiteral("SELECT Title, Price, Supplier FROM customerorders "
                                          "WHERE OrderNo = %1")
                               .arg(found.orderNo)),
              QStringList{"Lost Maps|15|Bertram"});

    NewOrder unknown = newOrder(1, "9781861972712");
    unknown.title = QStringLiteral("Quiet Harbours");
    unknown.author = QStringLiteral("R. Lane");
    unknown.price = money("21.5");
    const TakenOrder added = shop::takeOrder(*session, unknown);
    EXPECT_TRUE(added.titleAdded);
    EXPECT_EQ(shop.db.rows(QStringLiteral("SELECT ISBN, Title, Author, [Sale Price], Qty, SafeQty "
                                          "FROM Titles WHERE BOOKNO = %1")
                               .arg(added.bookNo)),
              QStringList{"9781861972712|Quiet Harbours|R. Lane|21.5|0|0"});
    // Kept with a wrong check digit when the operator says so.
    NewOrder odd = newOrder(1, "0-306-40615-3");
    odd.title = QStringLiteral("Misprint");
    odd.price = money("3");
    odd.keepWrongCheckDigit = true;
    EXPECT_TRUE(shop::takeOrder(*session, odd).titleAdded);
}

// Two copies arrive for orders of one, two and one copies: the oldest is served first, the
// second waits, the third takes the last free copy; nothing is set aside twice.
TEST_F(CustomerOrders, FewerCopiesThanOrdersServeTheOldestFirst) {
    const qint64 first = take(1, 1), second = take(2, 2), third = take(1, 3);
    const qint64 bookNo = shop::customerOrder(shop.db.connection(), first).bookNo;
    std::vector<qint64> waiting;
    for (const CustomerOrder &o : shop::openOrdersOf(shop.db.connection(), bookNo))
        waiting.push_back(o.orderNo);
    EXPECT_EQ(waiting, (std::vector<qint64>{first, second, third}));
    const struct {
        qint64 order;
        const char *outcome;
    } steps[] = {{first, "(done)"},
                 {second, "Only 1 copy of \"Lost Maps\" free to set aside"},
                 {third, "(done)"},
                 {third, "is arrived already"},
                 {second, "Only 0 copies"}};
    for (const auto &s : steps) {
        const QString why = refusalOf([&] { shop::setAside(*session, s.order, at(5)); });
        EXPECT_TRUE(why.startsWith(QLatin1String(s.outcome)) || why.contains(s.outcome))
            << why.toStdString();
    }
    const OrderTitle copies = shop::copiesOf(shop.db.connection(), bookNo);
    EXPECT_EQ(copies.held, 2);
    EXPECT_EQ(copies.free(), 0);
    EXPECT_EQ(stateOf(second), "requested");
    // Collecting gives the hold back; the sale then takes the copy off the shelf.
    shop::collect(*session, first, {}, at(6));
    EXPECT_EQ(shop::copiesOf(shop.db.connection(), bookNo).held, 1);
}

// A second session (another till) making the same move finds it made: one succeeds.
TEST_F(CustomerOrders, TwoTillsMakingTheSameMoveOneSucceeds) {
    auto other = ShopSession::open(shop.context.shop);
    const qint64 order = orderIn(S::Told);
    shop::takeDeposit(*session, deposit(7, order, "5"));
    EXPECT_EQ(shop::collect(*session, order, {}, at(6)), money("5"));
    EXPECT_EQ(refusalOf([&] { shop::collect(*other, order, {}, at(6)); }),
              "Customer order " + QString::number(order) + " is collected already.");
    EXPECT_EQ(shop.db.rows("SELECT Kind, Amount FROM orderdeposits ORDER BY Kind"),
              (QStringList{"taken|5", "used|5"}));
    // The last copy: one order takes it, the other till is told.
    shop.db.exec("UPDATE Titles SET Qty = 1");
    const qint64 a = take(), b = take();
    EXPECT_EQ(refusalOf([&] { shop::setAside(*session, a, at(7)); }), "(done)");
    EXPECT_TRUE(refusalOf([&] { shop::setAside(*other, b, at(7)); }).startsWith("Only 0 copies"));
    EXPECT_EQ(shop.db.rows("SELECT Held FROM heldcopies"), QStringList{"1"});
}

// Two tills at once, each on its own thread and connection, round after round: setting aside
// the last free copy for two orders, and collecting the same order. One of each succeeds.
TEST_F(CustomerOrders, TwoTillsAtOnceNeverBothSucceed) {
    const std::shared_ptr<ShopSession> tills[] = {ShopSession::open(shop.context.shop),
                                                  ShopSession::open(shop.context.shop)};
    const auto atOnce = [&](const std::function<void(ShopSession &, int)> &work) {
        std::latch start(2);
        std::atomic<int> done{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < 2; ++t)
            threads.emplace_back([&, t] {
                start.arrive_and_wait();
                try {
                    work(*tills[t], t);
                    ++done;
                } catch (const DataError &) {
                }
            });
        for (std::thread &thread : threads)
            thread.join();
        return done.load();
    };
    const qint64 bookNo = shop::customerOrder(shop.db.connection(), take()).bookNo;
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        const qint64 held = shop::copiesOf(shop.db.connection(), bookNo).held;
        shop.db.exec(QStringLiteral("UPDATE Titles SET Qty = %1 WHERE BOOKNO = %2")
                         .arg(held + 1)
                         .arg(bookNo));
        const qint64 orders[] = {take(), take()};
        EXPECT_EQ(atOnce([&](ShopSession &s, int t) { shop::setAside(s, orders[t], at(5)); }), 1);
        EXPECT_EQ(shop::copiesOf(shop.db.connection(), bookNo).free(), 0);
        const qint64 arrived = stateOf(orders[0]) == "arrived" ? orders[0] : orders[1];
        EXPECT_EQ(atOnce([&](ShopSession &s, int) { shop::collect(s, arrived, {}, at(6)); }), 1);
        EXPECT_EQ(shop.db.count("orderholds"), 0);
    }
    EXPECT_EQ(shop.db.scalar("SELECT count(*) FROM orderhistory WHERE State = 'collected'").toInt(),
              8);
}

// A deposit is taken once per identifier, and at cancelling it is refunded by a method in the
// session or kept on the order as credit.
TEST_F(CustomerOrders, DepositsAreRefundedOrKeptAtCancelling) {
    const struct {
        bool refund;
        const char *deposits;
        const char *onOrder;
    } cases[] = {{true, "refunded|4|2,taken|4|1", "0"}, {false, "taken|4|1", "4"}};
    int n = 10;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.refund);
        const qint64 order = orderIn(S::Ordered);
        shop::takeDeposit(*session, deposit(++n, order, "4"));
        shop::takeDeposit(*session, deposit(n, order, "4")); // sent again: nothing more
        std::optional<DepositMoney> back;
        if (c.refund)
            back = DepositMoney{uuid(++n), 0, opened.id, 2, {}, at(6)};
        shop::cancel(*session, order, at(6), back);
        EXPECT_EQ(shop.db
                      .rows(QStringLiteral("SELECT Kind, Amount, Method FROM orderdeposits "
                                           "WHERE OrderNo = %1 ORDER BY Kind")
                                .arg(order))
                      .join(QLatin1Char(',')),
                  c.deposits);
        EXPECT_EQ(shop.db
                      .scalar(QStringLiteral("SELECT Deposit FROM customerorders WHERE "
                                             "OrderNo = %1")
                                  .arg(order))
                      .toString(),
                  c.onOrder);
    }
}

// A deposit of 5 in cash followed to the Z report: in the drawer while the order waits, not a
// sale; collected, the book is rung up as a sale paid 5 by the deposit (cash) and 10 by card,
// and the drawer holds no more cash for it.
TEST_F(CustomerOrders, ADepositIsFollowedThroughTheZReport) {
    const struct {
        bool collected;
        const char *cashExpected, *used, *sales;
        int soldRows;
    } cases[] = {{false, "5", "0", "0", 0}, {true, "5", "5", "15", 1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.collected);
        if (c.collected) // a session of its own for the second case
            opened = shop::openSession(*session, {Money(), at(8, 9)});
        const qint64 soldBefore = shop.db.count("soldbook");
        const qint64 order = orderIn(S::Told);
        shop::takeDeposit(*session, deposit(c.collected ? 41 : 40, order, "5"));
        if (c.collected) {
            shop::collect(*session, order, {}, at(7, 11), opened.id);
            const CustomerOrder sold = shop::customerOrder(shop.db.connection(), order);
            ReceiptRecord receipt;
            receipt.id = uuid(42);
            receipt.opened = at(7, 11);
            receipt.lines.push_back({1, sold.bookNo, sold.isbn, sold.title, money("15"), 1,
                                     QDate(2001, 5, 7), QTime(11, 0)});
            receipt.payments.push_back({1, 1, money("5"), money("5"), Money(), at(7, 11)});
            receipt.payments.push_back({2, 2, money("10"), money("10"), Money(), at(7, 11)});
            receipt.paidAt = at(7, 11);
            shop::storeReceipt(*session, receipt);
        }
        const SessionReport z = shop::closeSession(
            *session, {opened.id, {{1, money("5")}, {2, money("10")}}, at(7, 18)});
        EXPECT_TRUE(z.hasDeposits);
        EXPECT_EQ(z.depositsTaken, money("5"));
        EXPECT_EQ(z.depositsUsed, money(c.used));
        EXPECT_EQ(z.sales, money(c.sales));
        EXPECT_EQ(z.methods.at(0).expected, money(c.cashExpected));
        EXPECT_EQ(z.methods.at(0).difference, Money());
        EXPECT_EQ(shop.db.count("soldbook") - soldBefore, c.soldRows);
        // Read again later, the stored report is the same.
        EXPECT_EQ(shop::zReport(shop.db.connection(), opened.id).methods.at(0).expected,
                  money(c.cashExpected));
    }
}

// Each move is kept with its time, its login and, for telling, how.
TEST_F(CustomerOrders, HistoryKeepsEveryMove) {
    const qint64 order = orderIn(S::Told);
    EXPECT_EQ(
        shop.db.rows(QStringLiteral("SELECT State, ChangedAt, Told FROM "
                                    "orderhistory WHERE OrderNo = %1 ORDER BY Entry")
                         .arg(order)),
        (QStringList{"requested|2001-05-03 10:00:00|<null>", "ordered|2001-05-05 10:00:00|<null>",
                     "arrived|2001-05-05 10:00:00|<null>", "told|2001-05-05 12:00:00|phone"}));
}

// The lists: open orders past the waiting limit marked, those to place by supplier, those to
// tell, those not collected in time.
TEST_F(CustomerOrders, ListsMarkWhatWaitsTooLong) {
    shop::setOrderLimit(*session, OrderLimit::WaitingDays, 10);
    shop::setOrderLimit(*session, OrderLimit::AbandonDays, 3);
    const qint64 old = take(1, 1), recent = take(1, 20), arrived = take(1, 21);
    shop::setAside(*session, arrived, at(22));
    const QDate today(2001, 5, 28);
    const struct {
        OrderList list;
        std::vector<std::pair<qint64, bool>> rows;
    } cases[] = {
        {OrderList::Open, {{old, true}, {recent, false}, {arrived, false}}},
        {OrderList::ToPlace, {{old, true}, {recent, false}}},
        {OrderList::ToTell, {{arrived, false}}},
        {OrderList::NotCollected, {{arrived, true}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.list));
        std::vector<std::pair<qint64, bool>> rows;
        for (const OrderLine &line : shop::orderList(shop.db.connection(), c.list, today))
            rows.emplace_back(line.order.orderNo, line.overLimit);
        EXPECT_EQ(rows, c.rows);
    }
}

// Names and contacts of orders finished longer ago than the shop keeps them are blanked by the
// first start of a day; the rest of the order stays.
TEST_F(CustomerOrders, TheDailyWipeBlanksOldFinishedOrders) {
    shop::setOrderLimit(*session, OrderLimit::WipeDays, 30);
    const qint64 finished = orderIn(S::Cancelled), open = orderIn(S::Ordered);
    const struct {
        QDate day;
        bool wipes;
        const char *finishedName;
    } days[] = {{QDate(2001, 6, 1), true, "Ada Finch"},
                {QDate(2001, 6, 4), true, "Ada Finch"}, // finished 30 days ago today: kept
                {QDate(2001, 6, 4), false, "Ada Finch"},
                {QDate(2001, 6, 6), true, ""}};
    for (const auto &d : days) {
        SCOPED_TRACE(d.day.toString().toStdString());
        EXPECT_EQ(shop::wipeFinishedOrders(*session, d.day), d.wipes);
        EXPECT_EQ(shop::customerOrder(shop.db.connection(), finished).customer, d.finishedName);
    }
    EXPECT_EQ(shop::customerOrder(shop.db.connection(), finished).title, "Lost Maps");
    // As a program starts: the day's wipe is done once more, on a new day.
    shop::wipeAtStart(shop.context.shop, QDate(2001, 7, 1));
    shop::wipeAtStart(shop.context.shop, QDate(2001, 7, 1));
    EXPECT_EQ(shop.db.count("orderwipes"), 4);
    EXPECT_EQ(shop::customerOrder(shop.db.connection(), open).phone, "01632 960001");
}

// On a server a till's login takes orders (adding a title through the order), tells and
// collects, but may not place, cancel or abandon, nor add a title by itself.
TEST_F(CustomerOrders, ATillLoginMakesTheTillsMovesOnly) {
    if (!testserver::enabled())
        GTEST_SKIP() << "runs against the test server (test_sales_server)";
    const QString login = QStringLiteral("qmorders_till");
    const ShopDatabase tillShop = drivers::open(
        testserver::locationAs(login, QStringLiteral("LOGIN IN ROLE quillmart_till")));
    auto till = ShopSession::open(tillShop);
    NewOrder unknown = newOrder(1, "9781861972712");
    unknown.title = QStringLiteral("Quiet Harbours");
    unknown.price = money("21.5");
    EXPECT_TRUE(shop::takeOrder(*till, unknown).titleAdded);
    const qint64 order = take();
    const struct {
        const char *name;
        std::function<void()> work;
        const char *outcome;
    } cases[] = {
        {"placing", [&] { moveTo(order, S::Ordered, till.get()); }, "only the back office"},
        {"cancelling", [&] { moveTo(order, S::Cancelled, till.get()); }, "only the back office"},
        {"adding a title itself",
         [&] {
             Connection direct = tillShop.connect();
             direct.exec(QStringLiteral("INSERT INTO Titles (ISBN, Title) VALUES ('1', 'x')"));
         },
         "permission denied"},
        {"setting aside", [&] { moveTo(order, S::Arrived, till.get()); }, "(done)"},
        {"telling", [&] { moveTo(order, S::Told, till.get()); }, "(done)"},
        {"collecting", [&] { moveTo(order, S::Collected, till.get()); }, "(done)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString why = refusalOf(c.work);
        EXPECT_TRUE(why.contains(QLatin1String(c.outcome))) << why.toStdString();
    }
    EXPECT_EQ(shop.db.rows(QStringLiteral("SELECT Login FROM orderhistory WHERE OrderNo = %1 AND "
                                          "State = 'collected'")
                               .arg(order)),
              QStringList{login});
}

} // namespace
