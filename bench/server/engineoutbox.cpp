// A till's outbox sent to the shop when the server is back: 1,000 paid receipts made while it
// was away in the till's session, each stored with its arrival in a transaction of its own
// (and its session read back, so that none goes into another session). The rate is the
// counter's "items_per_second" (target: 200 receipts a second to a server on this machine).
#include "engineshop.h"
#include "opendatabase.h"
#include "outboxsender.h"
#include "receipts.h"
#include "shopoperations.h"
#include "shopsession.h"
#include "tillcopy.h"
#include "tillsessions.h"

#include <QTemporaryDir>
#include <QUuid>

namespace {

using namespace enginebench;

constexpr int kQueued = 1000;

void sendOutbox(benchmark::State &state) {
    guarded(state, [&] {
        auto session = ShopSession::open(drivers::open(bench::shop().location));
        Connection &connection = session->connection();
        const qint64 cash = counterTill(connection);
        const QDateTime at(saleDay(), QTime(9, 0));
        std::optional<TillSession> open =
            shop::openSessionOf(connection, shop::thisTill(connection)->id);
        if (!open)
            open = shop::openSession(*session, {Money(), at});
        QTemporaryDir folder;
        TillCopy copy(TillCopy::fileFor(folder.path(), QStringLiteral("bench")));
        bench::Measured measured(state);
        for (auto _ : state) {
            state.PauseTiming();
            for (int n = 0; n < kQueued; ++n) {
                const SaleLine sale = saleLine(saleTitles()[std::size_t(n) % saleTitles().size()]);
                const Money due = sale.price.times(sale.quantity);
                copy.queueReceipt({QUuid::createUuid().toString(QUuid::WithoutBraces),
                                   at,
                                   {{1, sale.bookNo, sale.isbn, sale.title, sale.price,
                                     sale.quantity, saleDay(), QTime(10, 30)}},
                                   {{1, cash, due, due, Money(), at}},
                                   {},
                                   at},
                                  open->id, QStringLiteral("A"));
            }
            state.ResumeTiming();
            const offline::SendReport report = offline::sendOutbox(copy, *session, at);
            if (report.sent != kQueued)
                state.SkipWithError("not every queued receipt was sent");
        }
        state.SetItemsProcessed(state.iterations() * kQueued);
    });
}

} // namespace

void registerEngineOutboxBenchmarks() {
    bench::quillmart("A till's outbox of 1,000 receipts sent to the shop", sendOutbox)
        ->Iterations(1);
}
