// Opening each screen on the large shop: its load and first paint, against reading the rows
// its record sources hold straight through the C API on a connection of their own; and every
// screen open at once, for the memory of the whole program.
#include "benchmain.h"
#include "connection.h"
#include "recordsource.h"
#include "screenshop.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <map>
#include <memory>
#include <sqlite3.h>
#include <vector>

namespace {

using namespace screenbench;

// What each screen had read after its load: each query and how many of its rows. A large
// result is read a screenful at a time, so the floor runs the same query and steps through as
// many rows as the screen did (a LIMIT would let SQLite plan less work than the screen asked).
struct LoadedQuery {
    std::string sql;
    std::int64_t rows = -1; // -1: all of them
};

std::map<QString, std::vector<LoadedQuery>> &loadedQueries() {
    static std::map<QString, std::vector<LoadedQuery>> queries;
    return queries;
}

void rememberQueries(const QString &id, QWidget *screen) {
    std::vector<LoadedQuery> queries;
    for (RecordSource *source : sources(screen))
        if (source->isOpen())
            queries.push_back({source->readingConnection()
                                   .dialect()
                                   .recordSource(source->recordSourceText())
                                   .sql.sql.toStdString(),
                               source->canFetchMore() ? source->loadedCount() : -1});
    loadedQueries()[id] = queries;
}

// Timed: the load (the screen built and shown, its record sources open). The first paint is
// timed apart, so that the load compares with the raw read of the same rows and the note
// tells when the operator sees the first screenful.
void openScreen(benchmark::State &state, const QString &id) {
    guarded(state, [&] {
        bench::Measured measured(state);
        double rows = 0, bytes = 0, screenfulMs = 0;
        for (auto _ : state) {
            QElapsedTimer clock;
            clock.start();
            QWidget *screen = build(id);
            measured.pause();
            paint(screen);
            screenfulMs += static_cast<double>(clock.nsecsElapsed()) / 1e6;
            rememberQueries(id, screen);
            rows = bytes = 0;
            for (RecordSource *source : sources(screen)) {
                rows += source->loadedCount(); // what the load read, not the rows left to read
                bytes += static_cast<double>(source->bytesUsed());
            }
            close(screen);
            measured.resume();
        }
        measured.set("rows", rows);
        if (rows > 0)
            measured.set("B_per_row", bytes / rows);
        measured.set("screenful_ms", screenfulMs / static_cast<double>(state.iterations()));
    });
}

// The same rows, each query on a fresh connection as each record source has its own.
void readLoadedRows(benchmark::State &state, const QString &id) {
    guarded(state, [&] {
        if (loadedQueries().count(id) == 0) {
            QWidget *screen = open(id);
            rememberQueries(id, screen);
            close(screen);
        }
        const std::vector<LoadedQuery> &queries = loadedQueries()[id];
        bench::Measured measured(state);
        std::int64_t rows = 0;
        for (auto _ : state) {
            rows = 0;
            for (const LoadedQuery &query : queries) {
                RawShop connection(bench::shop().path);
                const RawShop::Read read = connection.read(query.sql, {}, -1, -1, query.rows);
                benchmark::DoNotOptimize(read.checksum);
                rows += read.rows;
            }
        }
        measured.set("rows", static_cast<double>(rows));
    });
}

// Every screen at once, as an operator who opened them all in the main window's work area:
// the memory of the whole process, and where it goes.
void openEveryScreen(benchmark::State &state) {
    guarded(state, [&] {
        bench::Measured measured(state);
        double opened = 0;
        for (auto _ : state) {
            QMdiArea area;
            area.resize(1280, 900);
            area.show();
            for (const QString &id : screenIds())
                if (registered(id))
                    area.addSubWindow(create(id))->show();
            benchmark::DoNotOptimize(area.grab());
            measured.pause();
            opened = static_cast<double>(area.subWindowList().size());
            measured.set("process_MB", measured.processPeakMB());
            double recordSets = 0;
            for (QMdiSubWindow *window : area.subWindowList())
                for (RecordSource *source : sources(window->widget()))
                    recordSets += static_cast<double>(source->bytesUsed());
            measured.set("recordsets_MB", recordSets / (1 << 20));
            measured.set("sqlite_MB", static_cast<double>(sqlite3_memory_used()) / (1 << 20));
            for (QMdiSubWindow *window : area.subWindowList())
                close(window->widget());
            measured.resume();
        }
        measured.set("screens", opened);
    });
}

} // namespace

void registerOpenBenchmarks() {
    for (const QString &id : screenIds()) {
        const std::string name = "Open " + id.toStdString() + " (load)";
        bench::quillmart(name, [id](benchmark::State &state) { openScreen(state, id); });
        bench::baseline(name, [id](benchmark::State &state) { readLoadedRows(state, id); });
    }
    bench::quillmart("Every screen open at once", openEveryScreen)->Iterations(1);
}
