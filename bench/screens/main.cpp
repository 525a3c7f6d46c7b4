// quillmart-bench-screens: the real screens on the large shop, beside raw SQLite.
#include "benchmain.h"

void registerOpenBenchmarks();
void registerSellBenchmarks();
void registerReportBenchmarks();
void registerCatalogueBenchmarks();
void registerBillBenchmarks();

int main(int argc, char **argv) {
    return bench::run(argc, argv, [] {
        registerOpenBenchmarks();
        registerSellBenchmarks();
        registerReportBenchmarks();
        registerCatalogueBenchmarks();
        registerBillBenchmarks(); // last: it pays bills
    });
}
