// Record sets over whole tables: opening "select * from soldbook" (every sale) and the whole
// catalogue, against stepping through the same rows with the C API. Also the held bytes per
// row of the compact record set.
#include "benchmain.h"
#include "opendatabase.h"
#include "recordsource.h"

#include <memory>

namespace {

void openWhole(benchmark::State &state, const QString &text) {
    bench::Measured measured(state);
    int rows = 0;
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto source = std::make_unique<RecordSource>("Adodc1", drivers::open(bench::shop().path));
        source->open(text);
        rows = source->recordCount();
        bytes = source->bytesUsed();
        measured.pause();
        source.reset();
        measured.resume();
    }
    measured.set("rows", rows);
    measured.set("B_per_row", rows ? static_cast<double>(bytes) / rows : 0);
}

void readWhole(benchmark::State &state, const std::string &sql) {
    bench::Measured measured(state);
    std::int64_t rows = 0;
    for (auto _ : state) {
        const RawShop::Read read = bench::raw().read(sql);
        benchmark::DoNotOptimize(read.checksum);
        rows = read.rows;
    }
    measured.set("rows", static_cast<double>(rows));
}

} // namespace

void registerRecordSetBenchmarks() {
    bench::quillmart("Record set: open select * from soldbook",
                     [](benchmark::State &state) { openWhole(state, "select * from soldbook"); });
    bench::baseline("Record set: open select * from soldbook", [](benchmark::State &state) {
        readWhole(state, "SELECT rowid, * FROM soldbook");
    });
    bench::quillmart("Record set: open select * from titles",
                     [](benchmark::State &state) { openWhole(state, "select * from titles"); });
    bench::baseline("Record set: open select * from titles", [](benchmark::State &state) {
        readWhole(state, "SELECT rowid, * FROM titles");
    });
}
