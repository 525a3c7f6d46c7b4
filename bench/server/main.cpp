// quillmart-bench-server: the shop's large screens, its selling and its search, on the shop file or
// with
// --server=CONNINFO on the same shop on a PostgreSQL server, beside the engine's C API.
#include "benchmain.h"
#include "screenshop.h"

void registerEngineScreenBenchmarks();
void registerEngineSaleBenchmarks();
void registerEngineSearchBenchmarks();
void registerEngineCashupBenchmarks();
void registerEngineOutboxBenchmarks();
void registerEngineOrderBenchmarks();
void registerEngineReorderBenchmarks();

int main(int argc, char **argv) {
    return bench::run(argc, argv, [] {
        // The first window of a process pays for fonts and style: not the screens measured.
        screenbench::close(screenbench::open(QStringLiteral("dataSubject")));
        registerEngineScreenBenchmarks();
        registerEngineSaleBenchmarks();
        registerEngineSearchBenchmarks();
        registerEngineCashupBenchmarks();
        registerEngineOutboxBenchmarks();
        registerEngineOrderBenchmarks();
        registerEngineReorderBenchmarks();
    });
}
