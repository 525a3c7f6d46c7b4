// The start of a benchmark program: options, the shop's facts, a warm page cache, the sync
// counter, then Google Benchmark with the table reporter.
#include "benchmain.h"

#include "synccounter.h"
#include "tablereporter.h"

#include <QApplication>
#include <QFile>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>
#include <vector>

namespace bench {

namespace {

ShopFacts facts;
std::unique_ptr<RawShop> rawShop;
std::unique_ptr<RawServer> rawServerConnection;

// Reads the shop file once so that every benchmark, Quillmart or raw, starts from a warm
// page cache and the first one measured is not the one that pays for the disk.
void warmPageCache(const QString &path) {
    for (const char *suffix : {"", "-wal"}) {
        QFile file(path + suffix);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        std::vector<char> buffer(1 << 20);
        while (file.read(buffer.data(), static_cast<qint64>(buffer.size())) > 0) {
        }
    }
}

void readFacts(const QString &path, const std::string &conninfo) {
    facts.path = path;
    facts.conninfo = conninfo;
    facts.location = conninfo.empty() ? path : "postgresql:" + QString::fromStdString(conninfo);
    RawShop &shop = raw();
    facts.firstDay = QDate::fromString(
        QString::fromStdString(shop.text("SELECT min(SoldDate) FROM soldbook")), Qt::ISODate);
    facts.lastDay = QDate::fromString(
        QString::fromStdString(shop.text("SELECT max(SoldDate) FROM soldbook")), Qt::ISODate);
    facts.sales = shop.integer("SELECT count(*) FROM soldbook");
    facts.titles = shop.integer("SELECT count(*) FROM Titles");
}

benchmark::internal::Benchmark *side(const std::string &name, Body body) {
    return benchmark::RegisterBenchmark(name.c_str(), std::move(body))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

} // namespace

const ShopFacts &shop() {
    return facts;
}

RawShop &raw() {
    if (!rawShop)
        rawShop = std::make_unique<RawShop>(facts.path);
    return *rawShop;
}

bool onServer() {
    return !facts.conninfo.empty();
}

RawServer &rawServer() {
    if (!rawServerConnection)
        rawServerConnection = std::make_unique<RawServer>(facts.conninfo);
    return *rawServerConnection;
}

benchmark::internal::Benchmark *quillmart(const std::string &operation, Body body) {
    return side(operation + "/quillmart", std::move(body));
}

benchmark::internal::Benchmark *baseline(const std::string &operation, Body body) {
    return side(operation + "/raw", std::move(body));
}

Measured::Measured(benchmark::State &state) : state_(state), syncsAtStart_(synccounter::count()) {}

Measured::~Measured() {
    state_.counters["peak_MB"] = memory_.peakAboveStartMB();
    const auto iterations = static_cast<double>(state_.iterations());
    if (iterations > 0)
        state_.counters["syncs"] =
            static_cast<double>(synccounter::count() - syncsAtStart_ - syncsPaused_) / iterations;
}

void Measured::pause() {
    state_.PauseTiming();
    pausedAt_ = synccounter::count();
}

void Measured::resume() {
    syncsPaused_ += synccounter::count() - pausedAt_;
    state_.ResumeTiming();
}

void Measured::set(const char *counter, double value) {
    state_.counters[counter] = value;
}

int run(int argc, char **argv, const std::function<void()> &registerAll) {
    std::vector<char *> args;
    std::string shopPath, conninfo, tableOut, rawHeading = "raw SQLite";
    std::vector<std::string> printFiles;
    bool printing = false;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--shop=", 7) == 0)
            shopPath = argv[i] + 7;
        else if (std::strncmp(argv[i], "--server=", 9) == 0)
            conninfo = argv[i] + 9;
        else if (std::strncmp(argv[i], "--table_out=", 12) == 0)
            tableOut = argv[i] + 12;
        else if (std::strncmp(argv[i], "--raw_heading=", 14) == 0)
            rawHeading = argv[i] + 14;
        else if (std::strcmp(argv[i], "--print_table") == 0)
            printing = true;
        else if (printing)
            printFiles.emplace_back(argv[i]);
        else
            args.push_back(argv[i]);
    }
    if (printing)
        return printTable(printFiles, rawHeading) ? 0 : 1;
    if (shopPath.empty() || !QFile::exists(QString::fromStdString(shopPath))) {
        std::fprintf(stderr,
                     "%s: name an existing shop database with --shop=PATH "
                     "(quillmart-genshop makes one).\n",
                     argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    synccounter::install(); // before the first connection
    readFacts(QString::fromStdString(shopPath), conninfo);
    warmPageCache(facts.path);

    int benchArgc = static_cast<int>(args.size());
    benchmark::Initialize(&benchArgc, args.data());
    if (benchmark::ReportUnrecognizedArguments(benchArgc, args.data()))
        return 2;
    registerAll();
    TableReporter reporter(isatty(fileno(stdout)) != 0);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    rawShop.reset();
    rawServerConnection.reset();
    if (!tableOut.empty() && !reporter.write(tableOut)) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], tableOut.c_str());
        return 1;
    }
    return 0;
}

} // namespace bench
