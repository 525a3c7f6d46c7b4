// Every sale of the large shop exported as the sales editor's grid lists them: the record
// set opened and read to its end, each cell converted to its typed value and written, the
// file put in place. The baseline only reads the same rows through the C API.
#include "benchmain.h"
#include "opendatabase.h"
#include "recordsource.h"
#include "tableexport.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <memory>

namespace {

const QList<ExportColumn> kSaleColumns = {{"SoldDate", "SoldDate"}, {"SoldTime", "SoldTime"},
                                          {"ISBN", "ISBN"},         {"Title", "Title"},
                                          {"Price", "Price"},       {"Qty", "Qty"}};

void exportSales(benchmark::State &state, TableExport::Format format, const char *suffix) {
    // Beside the shop, not in a small /tmp: a workbook's scratch files are large.
    QTemporaryDir folder(QFileInfo(bench::shop().path).absolutePath() + "/export-XXXXXX");
    const QString target = folder.filePath(QStringLiteral("sales.") + suffix);
    bench::Measured measured(state);
    int rows = 0;
    qint64 bytes = 0;
    for (auto _ : state) {
        auto source = std::make_unique<RecordSource>("Adodc1", drivers::open(bench::shop().path));
        source->open("select * from soldbook");
        TableExport::run(*source, kSaleColumns, target, format, "dataSoldBook", {});
        rows = source->recordCount();
        measured.pause();
        bytes = QFileInfo(target).size();
        source.reset();
        measured.resume();
    }
    measured.set("rows", rows);
    measured.set("file_MB", static_cast<double>(bytes) / (1024 * 1024));
}

void readSales(benchmark::State &state) {
    bench::Measured measured(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(bench::raw().read("SELECT rowid, * FROM soldbook").checksum);
}

} // namespace

void registerExportBenchmarks() {
    bench::quillmart("Export: every sale to CSV", [](benchmark::State &state) {
        exportSales(state, TableExport::Format::Csv, "csv");
    });
    bench::baseline("Export: every sale to CSV", readSales);
    bench::quillmart("Export: every sale to an Excel workbook", [](benchmark::State &state) {
        exportSales(state, TableExport::Format::Xlsx, "xlsx");
    });
    bench::baseline("Export: every sale to an Excel workbook", readSales);
}
