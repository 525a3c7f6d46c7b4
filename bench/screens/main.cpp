// quillmart-bench-screens: the real screens on the large shop, beside raw SQLite.
#include "benchmain.h"
#include "screenshop.h"

void registerOpenBenchmarks();
void registerSellBenchmarks();
void registerReportBenchmarks();
void registerCatalogueBenchmarks();
void registerBillBenchmarks();

// The first window of a process pays for fonts, style and the like; in the program the main
// window has paid for them before any screen opens.
void warmUp() {
    for (const QString &id : {QStringLiteral("frmSell"), QStringLiteral("dataSubject")})
        if (screenbench::registered(id))
            screenbench::close(screenbench::open(id));
}

int main(int argc, char **argv) {
    return bench::run(argc, argv, [] {
        warmUp();
        registerOpenBenchmarks();
        registerSellBenchmarks();
        registerReportBenchmarks();
        registerCatalogueBenchmarks();
        registerBillBenchmarks(); // last: it pays bills
    });
}
