// What every benchmark program shares: the offscreen application, the large shop it runs on,
// the raw-SQLite baseline connection, the measuring of memory and syncs, and the table.
#pragma once

#include "memoryprobe.h"
#include "rawserver.h"
#include "rawshop.h"

#include <QDate>
#include <QString>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <functional>
#include <string>

namespace bench {

struct ShopFacts {
    QString path;
    // Where the program's side opens the shop: the file, or with --server=CONNINFO the same
    // shop copied to a PostgreSQL server ("postgresql:CONNINFO").
    QString location;
    std::string conninfo;    // empty on the file
    QDate firstDay, lastDay; // of the sales; the screens' today is the last day
    std::int64_t sales = 0, titles = 0;
};

// The shop named with --shop=PATH.
const ShopFacts &shop();
// The baseline's own connection to the shop file.
RawShop &raw();
// With --server: the baseline's own connection to the server.
bool onServer();
RawServer &rawServer();

using Body = std::function<void(benchmark::State &)>;
// Registers an operation's two sides, named "<operation>/quillmart" and "<operation>/raw",
// timed in milliseconds of real time.
benchmark::internal::Benchmark *quillmart(const std::string &operation, Body body);
benchmark::internal::Benchmark *baseline(const std::string &operation, Body body);

// Measures one benchmark from construction to destruction: the peak memory above the start
// ("peak_MB") and the disk syncs per iteration ("syncs") outside pauses.
class Measured {
public:
    explicit Measured(benchmark::State &state);
    ~Measured();
    Measured(const Measured &) = delete;
    Measured &operator=(const Measured &) = delete;
    // Stops and restarts the clock and the counting of syncs, around untimed steps.
    void pause();
    void resume();
    void set(const char *counter, double value);
    // The whole process's highest resident set since the start of the benchmark.
    double processPeakMB() const { return memory_.peakMB(); }

private:
    benchmark::State &state_;
    MemoryProbe memory_;
    std::uint64_t syncsAtStart_;
    std::uint64_t syncsPaused_ = 0;
    std::uint64_t pausedAt_ = 0;
};

// Runs the program: --shop=PATH (required), --server=CONNINFO (the program's side and the
// libpq baseline on that server, which holds a copy of the shop), --table_out=FILE (results for
// bench/run),
// --print_table FILE... (prints the table of earlier results and exits), and the usual
// --benchmark_* options.
int run(int argc, char **argv, const std::function<void()> &registerAll);

} // namespace bench
