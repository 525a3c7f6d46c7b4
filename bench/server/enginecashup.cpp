// The cash-up on either engine: the figures of a session of 5,000 receipts (each a line and
// its cash payment), as its X report computes them and as its closing stores them in its Z
// report.
#include "engineshop.h"
#include "opendatabase.h"
#include "receipts.h"
#include "shopoperations.h"
#include "shopsession.h"
#include "tillsessions.h"

#include <QUuid>

namespace {

using namespace enginebench;

constexpr int kReceipts = 5000;

// This till's session of kReceipts paid receipts, made once until it is closed.
qint64 made = 0;
qint64 bigSession(ShopSession &session) {
    if (made != 0)
        return made;
    Connection &connection = session.connection();
    const qint64 cash = counterTill(connection);
    const QDateTime at(saleDay(), QTime(9, 0));
    if (const auto open = shop::openSessionOf(connection, shop::thisTill(connection)->id))
        shop::closeSession(session, {open->id, {}, at});
    made = shop::openSession(session, {Money(), at}).id;
    for (int n = 0; n < kReceipts; ++n) {
        const SaleLine sale = saleLine(saleTitles()[std::size_t(n) % saleTitles().size()]);
        const Money due = sale.price.times(sale.quantity);
        shop::storeReceipt(session, {QUuid::createUuid().toString(QUuid::WithoutBraces),
                                     at,
                                     {{1, sale.bookNo, sale.isbn, sale.title, sale.price,
                                       sale.quantity, saleDay(), QTime(10, 30)}},
                                     {{1, cash, due, due, Money(), at}},
                                     {},
                                     at});
    }
    return made;
}

// The session so far: what the X report and the closing compute.
void xReport(benchmark::State &state) {
    guarded(state, [&] {
        auto session = ShopSession::open(drivers::open(bench::shop().location));
        const qint64 id = bigSession(*session);
        bench::Measured measured(state);
        for (auto _ : state)
            benchmark::DoNotOptimize(
                shop::xReport(*session, id, QDateTime(saleDay(), QTime(17, 0))));
    });
}

// The closing of the session: its Z report computed and stored, once.
void closing(benchmark::State &state) {
    guarded(state, [&] {
        auto session = ShopSession::open(drivers::open(bench::shop().location));
        const qint64 id = bigSession(*session);
        bench::Measured measured(state);
        for (auto _ : state)
            benchmark::DoNotOptimize(
                shop::closeSession(*session, {id, {}, QDateTime(saleDay(), QTime(18, 0))}));
        made = 0; // the next repetition closes a session of its own
    });
}

} // namespace

void registerEngineCashupBenchmarks() {
    bench::quillmart("The X report of a session of 5,000 receipts", xReport);
    bench::quillmart("The Z report of a session of 5,000 receipts (closing)", closing)
        ->Iterations(1);
}
