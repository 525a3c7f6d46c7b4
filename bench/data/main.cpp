// quillmart-bench-data: the data layer on the large shop, beside raw SQLite.
#include "benchmain.h"

void registerRecordSetBenchmarks();
void registerGridBenchmarks();
void registerBackupBenchmarks();
void registerExportBenchmarks();
void registerUpgradeBenchmarks();

int main(int argc, char **argv) {
    return bench::run(argc, argv, [] {
        registerRecordSetBenchmarks();
        registerGridBenchmarks();
        registerBackupBenchmarks();
        registerExportBenchmarks();
        registerUpgradeBenchmarks();
    });
}
