// What to reorder, on either engine: the suggestions of every supplier of the large shop, all
// lists in one statement, and one statement per supplier's list as the Reorder Suggestions
// screen makes them one after the other; the target is every supplier in under a second.
#include "connection.h"
#include "engineshop.h"
#include "opendatabase.h"
#include "purchaseorders.h"
#include "reorder.h"
#include "shopsession.h"

namespace {

using namespace enginebench;

void everySupplier(benchmark::State &state) {
    guarded(state, [&] {
        auto session = ShopSession::open(drivers::open(bench::shop().location));
        Connection &connection = session->connection();
        const QStringList suppliers = shop::supplierNames(connection);
        bench::Measured measured(state);
        std::size_t lines = 0;
        for (auto _ : state) {
            lines = 0;
            for (const QString &supplier : suppliers)
                lines += shop::reorderSuggestions(connection, supplier, saleDay()).size();
        }
        state.counters["suppliers"] = static_cast<double>(suppliers.size());
        state.counters["lines"] = static_cast<double>(lines);
    });
}

void allAtOnce(benchmark::State &state) {
    guarded(state, [&] {
        auto session = ShopSession::open(drivers::open(bench::shop().location));
        bench::Measured measured(state);
        std::size_t lines = 0;
        for (auto _ : state) {
            lines = 0;
            for (const auto &list : shop::everyReorderSuggestion(session->connection(), saleDay()))
                lines += list.second.size();
        }
        state.counters["lines"] = static_cast<double>(lines);
    });
}

} // namespace

void registerEngineReorderBenchmarks() {
    bench::quillmart("Reorder suggestions of every supplier, in one statement", allAtOnce);
    bench::quillmart("Reorder suggestions of every supplier, list by list", everySupplier);
}
