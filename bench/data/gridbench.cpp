// The grid over every sale: binding it and painting the first screenful must not depend on
// how many rows the record set holds (no column sized over all rows). SQLite has nothing to
// set beside it: the figure stands on its own.
#include "benchmain.h"
#include "datagrid.h"
#include "opendatabase.h"
#include "recordsource.h"

#include <memory>

namespace {

const QList<GridColumn> kSaleColumns = {{"SoldDate", {}}, {"SoldTime", {}}, {"ISBN", {}},
                                        {"Title", {}},    {"Price", {}},    {"Qty", {}}};

void bindAndPaint(benchmark::State &state) {
    RecordSource source("Adodc1", drivers::open(bench::shop().path));
    source.open("select * from soldbook");
    bench::Measured measured(state);
    for (auto _ : state) {
        auto grid = std::make_unique<DataGrid>(&source, kSaleColumns);
        grid->resize(900, 600);
        grid->show();
        benchmark::DoNotOptimize(grid->grab());
        measured.pause();
        grid.reset();
        measured.resume();
    }
    measured.set("rows", source.recordCount());
}

} // namespace

void registerGridBenchmarks() {
    bench::quillmart("Grid over every sale: bind + first paint", bindAndPaint);
}
