// Opening the screens that show the large tables, on either engine: the load (the screen
// built, its record sets open and a screenful read; the first paint is timed apart, as it
// costs the same on both engines) and every row read, against the engine's C API reading
// the same rows on a connection of its own.
#include "connection.h"
#include "engineshop.h"
#include "rawserver.h"
#include "rawshop.h"
#include "recordsource.h"
#include "screenshop.h"

#include <QElapsedTimer>
#include <map>

namespace {

using namespace screenbench;

// The sales grid and the catalogue's grid, the two largest tables.
const char *const kScreens[] = {"dataSoldBook", "dataTitles"};

struct Query {
    std::string sql;
    std::int64_t rows = -1; // -1: all of them
};

std::map<std::string, std::vector<Query>> &queries() {
    static std::map<std::string, std::vector<Query>> known;
    return known;
}

// What the screen's record sets read, in the SQL the engine was sent.
std::vector<Query> queriesOf(QWidget *screen) {
    std::vector<Query> read;
    for (RecordSource *source : sources(screen))
        if (source->isOpen())
            read.push_back({source->readingConnection()
                                .dialect()
                                .recordSource(source->recordSourceText())
                                .sql.sql.toStdString(),
                            source->canFetchMore() ? source->loadedCount() : -1});
    return read;
}

void measureRows(bench::Measured &measured, QWidget *screen) {
    double rows = 0, bytes = 0;
    for (RecordSource *source : sources(screen)) {
        rows += source->loadedCount();
        bytes += static_cast<double>(source->bytesUsed());
    }
    measured.set("rows", rows);
    if (rows > 0)
        measured.set("B_per_row", bytes / rows);
}

void firstScreenful(benchmark::State &state, const std::string &id) {
    guarded(state, [&] {
        bench::Measured measured(state);
        double screenfulMs = 0, paintMs = 0;
        for (auto _ : state) {
            QElapsedTimer clock;
            clock.start();
            QWidget *screen = build(QString::fromStdString(id));
            measured.pause();
            const qint64 loaded = clock.nsecsElapsed();
            paint(screen);
            screenfulMs += static_cast<double>(clock.nsecsElapsed()) / 1e6;
            paintMs += static_cast<double>(clock.nsecsElapsed() - loaded) / 1e6;
            queries()[id + "/first"] = queriesOf(screen);
            measureRows(measured, screen);
            close(screen);
            measured.resume();
        }
        const auto iterations = static_cast<double>(state.iterations());
        measured.set("screenful_ms", screenfulMs / iterations);
        measured.set("paint_ms", paintMs / iterations);
    });
}

void everyRow(benchmark::State &state, const std::string &id) {
    guarded(state, [&] {
        bench::Measured measured(state);
        for (auto _ : state) {
            QElapsedTimer clock;
            clock.start();
            QWidget *screen = build(QString::fromStdString(id));
            paint(screen);
            const double screenfulMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
            for (RecordSource *source : sources(screen))
                source->fetchAll();
            measured.pause();
            measured.set("screenful_ms", screenfulMs);
            std::vector<Query> all = queriesOf(screen);
            for (Query &query : all)
                query.rows = -1;
            queries()[id + "/all"] = all;
            measureRows(measured, screen);
            close(screen);
            measured.resume();
        }
    });
}

// The same reads, each on a fresh connection as each screen opens its own.
void rawRead(benchmark::State &state, const std::string &key) {
    guarded(state, [&] {
        if (queries().count(key) == 0)
            throw std::runtime_error("the screen's side did not run");
        bench::Measured measured(state);
        std::int64_t rows = 0;
        for (auto _ : state) {
            rows = 0;
            // Each connection is let go untimed, as the screen's close is: a result left
            // half read goes with it.
            std::vector<std::unique_ptr<RawServer>> servers;
            std::vector<std::unique_ptr<RawShop>> files;
            for (const Query &query : queries()[key]) {
                if (bench::onServer()) {
                    servers.push_back(std::make_unique<RawServer>(bench::shop().conninfo));
                    const RawServer::Read read = servers.back()->read(query.sql, {}, query.rows);
                    benchmark::DoNotOptimize(read.checksum);
                    rows += read.rows;
                } else {
                    files.push_back(std::make_unique<RawShop>(bench::shop().path));
                    const RawShop::Read read =
                        files.back()->read(query.sql, {}, -1, -1, query.rows);
                    benchmark::DoNotOptimize(read.checksum);
                    rows += read.rows;
                }
            }
            measured.pause();
            servers.clear();
            files.clear();
            measured.resume();
        }
        measured.set("rows", static_cast<double>(rows));
    });
}

} // namespace

void registerEngineScreenBenchmarks() {
    for (const char *screen : kScreens) {
        const std::string id = screen;
        const std::string first = "Open " + id + ": load, first screenful";
        bench::quillmart(first, [id](benchmark::State &s) { firstScreenful(s, id); });
        bench::baseline(first, [id](benchmark::State &s) { rawRead(s, id + "/first"); });
        const std::string all = "Open " + id + ": every row read";
        bench::quillmart(all, [id](benchmark::State &s) { everyRow(s, id); })->Iterations(2);
        bench::baseline(all, [id](benchmark::State &s) { rawRead(s, id + "/all"); })->Iterations(2);
    }
}
