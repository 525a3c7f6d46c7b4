// The lists of customer orders on either engine, with 20,000 orders on the large shop: the
// open orders by age, those to place with suppliers, the customers to tell and the orders not
// collected, as the Customer Orders screen and its exports read them.
#include "connection.h"
#include "engineshop.h"
#include "opendatabase.h"
#include "orderlists.h"
#include "shopsession.h"

namespace {

using namespace enginebench;

constexpr int kOrders = 20000;

// kOrders orders of the shop's titles, a seventh in each state, requested 90 days before the
// last day of sales and last changed 60 days before it: made once.
void makeOrders(Connection &connection) {
    if (connection.scalar(QStringLiteral("SELECT count(*) FROM customerorders")).toLongLong() >=
        kOrders)
        return;
    const QString states[] = {"requested", "ordered",   "arrived",  "told",
                              "collected", "cancelled", "abandoned"};
    const QString requested = saleDay().addDays(-90).toString(Qt::ISODate);
    const QString changed = saleDay().addDays(-60).toString(Qt::ISODate);
    for (int part = 0; part < 7; ++part) // a seventh in each state
        connection.exec(
            QStringLiteral(
                "INSERT INTO customerorders (Customer, Phone, Email, BOOKNO, ISBN, Title, Qty, "
                "Price, Supplier, State, Requested, Changed) SELECT 'Customer ' || BOOKNO, "
                "'01632 960000', '', BOOKNO, coalesce(ISBN, ''), coalesce(Title, ''), 1, 10, "
                "coalesce(Retail, ''), '%1', '%2 10:00:00', '%3 12:00:00' FROM Titles WHERE "
                "BOOKNO - 7 * (BOOKNO / 7) = %4 ORDER BY BOOKNO LIMIT %5")
                .arg(states[part], requested, changed)
                .arg(part)
                .arg(kOrders / 7 + 1));
}

void list(benchmark::State &state, OrderList which) {
    guarded(state, [&] {
        auto session = ShopSession::open(drivers::open(bench::shop().location));
        makeOrders(session->connection());
        bench::Measured measured(state);
        std::size_t rows = 0;
        for (auto _ : state)
            rows = shop::orderList(session->connection(), which, saleDay()).size();
        measured.set("rows", static_cast<double>(rows));
    });
}

} // namespace

void registerEngineOrderBenchmarks() {
    bench::quillmart("Open customer orders of 20,000",
                     [](benchmark::State &s) { list(s, OrderList::Open); });
    bench::quillmart("Customer orders to place of 20,000",
                     [](benchmark::State &s) { list(s, OrderList::ToPlace); });
    bench::quillmart("Customers to tell of 20,000 orders",
                     [](benchmark::State &s) { list(s, OrderList::ToTell); });
    bench::quillmart("Customer orders not collected of 20,000",
                     [](benchmark::State &s) { list(s, OrderList::NotCollected); });
}
