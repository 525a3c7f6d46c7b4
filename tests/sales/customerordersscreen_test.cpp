// The Customer Orders screen: an order taken in its window (what cannot be stored stays in its
// box), moved on step by step from its buttons, the lists and their marks, and the notice that
// the lists hold personal data.
#include "customerordersscreen.h"
#include "datagrid.h"
#include "gridcommands.h"
#include "neworderdialog.h"
#include "orderlimitmark.h"
#include "ordersfixture.h"
#include "pdfpages.h"

#include <QLineEdit>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>

namespace {

using S = OrderState;

class OrdersScreen : public Orders {
protected:
    void SetUp() override {
        Orders::SetUp();
        orders = std::make_unique<CustomerOrdersScreen>(shop.context);
    }
    // Chooses the list's line of the order.
    void choose(qint64 order) {
        QTableView *view = orders->grid()->view();
        for (int row = 0; row < view->model()->rowCount(); ++row)
            if (view->model()->index(row, 0).data().toLongLong() == order)
                return view->setCurrentIndex(view->model()->index(row, 0));
        FAIL() << "order " << order << " is not in the list";
    }
    QStringList shownOrders() {
        QStringList shown;
        QAbstractItemModel *model = orders->grid()->view()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            shown << model->index(row, 0).data().toString() + QLatin1Char(' ') +
                         model->index(row, 1).data().toString();
        return shown;
    }
    std::unique_ptr<CustomerOrdersScreen> orders;
};

TEST_F(OrdersScreen, TheNewOrderWindowKeepsWhatCannotBeStored) {
    const struct {
        const char *name;
        const char *customer, *isbn, *title, *price;
        int copies;
        bool keep; // the answer to the check digit's warning
        const char *told;
        bool stored;
    } cases[] = {
        {"no name", "", "0306406152", "", "", 1, true, "Give the customer's name.", false},
        {"no copies", "Ada", "0306406152", "", "", 0, true, "A customer orders 1 copy", false},
        {"price not money", "Ada", "0306406152", "", "1x", 1, true, "is not an amount", false},
        {"check digit mended", "Ada", "0306406153", "", "", 1, false, "The check digit", false},
        {"a new title", "Ada", "9781861972712", "Quiet Harbours", "21.5", 1, true, "", true},
        {"one on hand", "Ada", "978-0-306-40615-7", "", "", 2, true, "", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        NewOrderDialog dialog(shop.context, session);
        dialog.box("txtCustomer")->setText(QLatin1String(c.customer));
        dialog.box("txtISBN")->setText(QLatin1String(c.isbn));
        dialog.lookUp();
        if (*c.title)
            dialog.box("txtTitle")->setText(QLatin1String(c.title));
        if (*c.price)
            dialog.box("txtPrice")->setText(QLatin1String(c.price));
        dialog.quantityBox()->setValue(c.copies);
        shop.messages.shown.clear();
        shop.messages.answerNext(c.keep);
        EXPECT_EQ(dialog.take(), c.stored);
        const QString told = shop.messages.texts().join(QLatin1Char('|'));
        EXPECT_TRUE(*c.told ? told.contains(QLatin1String(c.told)) : told.isEmpty())
            << told.toStdString();
        EXPECT_EQ(dialog.box("txtISBN")->text(), QLatin1String(c.isbn)); // nothing cleared
    }
    EXPECT_EQ(shop.db.rows("SELECT Title, Qty, Price FROM customerorders ORDER BY OrderNo"),
              (QStringList{"Quiet Harbours|1|21.5", "Lost Maps|2|15"}));
}

// The buttons move the chosen order along; the list shows each step.
TEST_F(OrdersScreen, TheButtonsMoveTheChosenOrder) {
    const qint64 order = take(1, 3);
    orders->refresh();
    using Step = std::function<void()>;
    const struct {
        const char *name;
        Step step;
        const char *state;
    } steps[] = {
        {"deposit", [&] { orders->takeDeposit(money("5"), 1); }, "requested"},
        {"placed", [&] { orders->place(); }, "ordered"},
        {"arrived", [&] { orders->setAside(); }, "arrived"},
        {"told", [&] { orders->tell(ToldBy::Email); }, "told"},
        {"collected", [&] { orders->collect(); }, "collected"},
    };
    for (const auto &s : steps) {
        SCOPED_TRACE(s.name);
        orders->showList(std::nullopt);
        choose(order);
        s.step();
        EXPECT_EQ(stateOf(order), s.state);
    }
    EXPECT_EQ(shop.messages.texts().last(),
              QStringLiteral("Customer order %1 is collected. Its deposit of 5 pays part of its "
                             "price: at the counter take it as a payment by the method it was "
                             "paid by, and the rest as the customer pays.")
                  .arg(order));
    EXPECT_EQ(
        shop.db.rows("SELECT Kind, Method, Session FROM orderdeposits ORDER BY Kind"),
        (QStringList{QString("taken|1|%1").arg(opened.id), QString("used|1|%1").arg(opened.id)}));
}

// Each list shows its orders; those past the limit are marked; the caption tells of the
// personal data the list holds, which print takes with it.
TEST_F(OrdersScreen, ListsShowTheirOrdersAndMarkTheLate) {
    const qint64 late = take(1, 1), recent = take(1, 10);
    shop.clock.set(QDate(2001, 5, 20), QTime(10, 30));
    const struct {
        std::optional<OrderList> list;
        QStringList shown;
        std::vector<bool> marked;
    } cases[] = {
        {OrderList::Open,
         {QString("%1 requested").arg(late), QString("%1 requested").arg(recent)},
         {true, false}},
        {OrderList::ToTell, {}, {}},
        {std::nullopt,
         {QString("%1 requested").arg(recent), QString("%1 requested").arg(late)},
         {false, false}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.list ? static_cast<int>(*c.list) : -1);
        orders->showList(c.list);
        EXPECT_EQ(shownOrders(), c.shown);
        auto *mark = static_cast<OrderLimitMark *>(orders->grid()->view()->itemDelegate());
        std::vector<bool> marked;
        for (int row = 0; row < orders->grid()->view()->model()->rowCount(); ++row)
            marked.push_back(mark->marks(orders->grid()->view()->model()->index(row, 3)));
        EXPECT_EQ(marked, c.marked);
        EXPECT_TRUE(orders->grid()->caption().contains(QLatin1String("personal data")));
        EXPECT_EQ(orders->grid()->property(personalDataProperty).toString(),
                  shop::personalDataNotice()); // what Export… says first
    }
}

// The hold slip prints through the real print path, only for an order with copies set aside.
TEST_F(OrdersScreen, TheHoldSlipPrintsForCopiesSetAside) {
    const qint64 waiting = take(), held = take();
    shop::setAside(*session, held, at(5));
    orders->refresh();
    QTemporaryDir dir;
    const struct {
        qint64 order;
        int pages;
    } cases[] = {{waiting, 0}, {held, 1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.order);
        choose(c.order);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString path = dir.filePath(QStringLiteral("slip%1.pdf").arg(c.order));
        printer.setOutputFileName(path);
        EXPECT_EQ(orders->printHoldSlipOn(printer), c.pages);
        if (c.pages > 0) {
            EXPECT_EQ(readPdf(path).count, c.pages);
        }
        // Its preview stands beside the screen and goes, with its printer, once closed.
        QPointer<QPrintPreviewDialog> preview = orders->printHoldSlip();
        ASSERT_EQ(preview != nullptr, c.pages > 0);
        if (preview) {
            EXPECT_EQ(preview->windowTitle(), "Hold Slip");
            EXPECT_TRUE(preview->isVisible());
            EXPECT_FALSE(preview->isModal());
            preview->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_TRUE(preview.isNull());
        }
    }
}

// At the counter the copies set aside are not sold unasked: the question names the orders, and
// the sale goes on only when the operator says so.
TEST_F(OrdersScreen, TheCounterAsksBeforeSellingACopySetAside) {
    const qint64 first = take(), second = take();
    shop::setAside(*session, first, at(5));
    shop::setAside(*session, second, at(5));
    const struct {
        bool sell;
        int stock;
    } cases[] = {{false, 2}, {true, 1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.sell);
        shop.messages.shown.clear();
        shop.messages.answerNext(c.sell);
        sell(QStringLiteral("0-306-40615-2"));
        EXPECT_EQ(stock(QStringLiteral("0-306-40615-2")), c.stock);
        ASSERT_FALSE(shop.messages.texts().isEmpty());
        EXPECT_TRUE(shop.messages.texts().first().startsWith(
            QStringLiteral("Only 0 copies of \"Lost Maps\" are free: 2 copies set aside for "
                           "customer orders %1 (Ada Finch), %2 (Ada Finch).")
                .arg(first)
                .arg(second)))
            << shop.messages.texts().first().toStdString();
    }
}

// F5 at the counter: the order's copies rung up at its price, the order collected, its deposit
// a payment by the method it was taken by; an order not arrived is refused and nothing is sold.
TEST_F(OrdersScreen, TheCounterRingsUpACollectionWithItsDeposit) {
    const struct {
        S state;
        const char *deposit;
        const char *payments; // method|amount of the receipt's payments
        bool paid;
        const char *told;
    } cases[] = {
        {S::Ordered, "5", "", false, "is ordered: only an order whose copies have arrived"},
        {S::Told, "5", "1|5", false, ""},
        {S::Arrived, "15", "1|15", true, ""},
        {S::Told, nullptr, "", false, ""},
    };
    int n = 60;
    for (const auto &c : cases) {
        SCOPED_TRACE(orderstates::stored(c.state).toStdString());
        screen = std::make_unique<SellScreen>(shop.context); // a customer's receipt of its own
        shop.messages.shown.clear();
        shop.db.exec("UPDATE Titles SET Qty = 5");
        const qint64 order = orderIn(c.state);
        if (c.deposit)
            shop::takeDeposit(*session, deposit(++n, order, c.deposit));
        const int sold = shop.db.count("soldbook");
        screen->collectOrder(order);
        const QString told = shop.messages.texts().join(QLatin1Char('|'));
        EXPECT_TRUE(*c.told ? told.contains(QLatin1String(c.told)) : told.isEmpty())
            << told.toStdString();
        const bool collected = *c.told == '\0';
        EXPECT_EQ(stateOf(order), collected ? "collected" : orderstates::stored(c.state));
        EXPECT_EQ(shop.db.count("soldbook") - sold, collected ? 1 : 0);
        if (!collected)
            continue;
        const QString receipt = screen->payments()->receipt().record().id;
        EXPECT_EQ(shop.db
                      .rows(QStringLiteral("SELECT Method, Amount FROM payments WHERE Receipt "
                                           "= '%1' ORDER BY Payment")
                                .arg(receipt))
                      .join(QLatin1Char(',')),
                  c.payments);
        EXPECT_EQ(screen->payments()->receiptPaid(), c.paid);
        EXPECT_EQ(screen->saleTotal(), money("15"));
        EXPECT_EQ(shop::copiesOf(shop.db.connection(),
                                 shop::customerOrder(shop.db.connection(), order).bookNo)
                      .held,
                  0);
    }
}

// A title looked up at the counter names the customers who ordered it: the one asking may be
// one of them.
TEST_F(OrdersScreen, TheCounterNamesTheOrdersOfATitleLookedUp) {
    const qint64 told = orderIn(S::Told);
    orderIn(S::Collected); // finished: not named
    const struct {
        const char *isbn;
        QString hint;
    } cases[] = {
        {"0-306-40615-2", QString("Customer orders of this title: %1 Ada Finch (customer told). "
                                  "F5 collects one.")
                              .arg(told)},
        {"111", QString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.isbn);
        lookUp(QLatin1String(c.isbn));
        EXPECT_EQ(text("lblOrders"), c.hint);
    }
}

} // namespace
