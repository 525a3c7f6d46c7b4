// The catalogue on the large shop: the book query's four sorts, moving through the titles'
// record editor, and a new title added and saved, each against the C API doing the same.
// The sorts read text in the shop's text order; one more row, on the C API alone, sorts by
// character code, as the shop once did, so that the cost of reading order shows beside it.
#include "benchmain.h"
#include "recordsource.h"
#include "screenshop.h"
#include "textorder.h"

namespace {

using namespace screenbench;

struct Sort {
    const char *name;
    int button; // Command1 index
    const char *order;
};

const Sort kSorts[] = {{"ISBN", 0, "ISBN"},
                       {"Title", 1, "title"},
                       {"Author", 2, "author"},
                       {"publisher", 3, "Publisher"}};

// The titles the grid had read after each sort (a screenful): its baseline reads as many.
std::int64_t &rowsRead() {
    static std::int64_t rows = 0;
    return rows;
}

void sortCatalogue(benchmark::State &state, const Sort &sort) {
    guarded(state, [&] {
        ScreenUnderTest screen("frmBookQuery");
        const QString button = QStringLiteral("Command1_%1").arg(sort.button);
        {
            bench::Measured measured(state);
            for (auto _ : state)
                click(screen, button);
            rowsRead() = sources(screen).front()->loadedCount();
            measured.set("rows", static_cast<double>(rowsRead()));
        }
        screen.checkMessages();
    });
}

void rawSortCatalogue(benchmark::State &state, const Sort &sort, bool byCharacterCode = false) {
    guarded(state, [&] {
        static const bool registered = (TextOrder::registerOn(bench::raw().handle()), true);
        (void)registered;
        const std::string sql = std::string("SELECT rowid, * FROM Titles ORDER BY ") + sort.order +
                                (byCharacterCode ? "" : " COLLATE SHOPTEXT");
        bench::Measured measured(state);
        for (auto _ : state)
            benchmark::DoNotOptimize(
                bench::raw().read(sql, {}, -1, -1, rowsRead() > 0 ? rowsRead() : -1));
    });
}

void moveLastAndFirst(benchmark::State &state) {
    guarded(state, [&] {
        ScreenUnderTest screen("dataTitles");
        bench::Measured measured(state);
        for (auto _ : state) {
            click(screen, "moveLast");
            click(screen, "moveFirst");
        }
        screen.checkMessages();
    });
}

void rawMoveLastAndFirst(benchmark::State &state) {
    guarded(state, [&] {
        bench::Measured measured(state);
        for (auto _ : state) {
            benchmark::DoNotOptimize(
                bench::raw().read("SELECT rowid, * FROM Titles ORDER BY BOOKNO DESC LIMIT 1"));
            benchmark::DoNotOptimize(
                bench::raw().read("SELECT rowid, * FROM Titles ORDER BY BOOKNO LIMIT 1"));
        }
    });
}

void addTitle(benchmark::State &state) {
    guarded(state, [&] {
        ScreenUnderTest screen("frmCreTitles");
        const std::int64_t before = bench::raw().integer("SELECT count(*) FROM Titles");
        bench::Measured measured(state);
        int n = 0;
        for (auto _ : state) {
            click(screen, "cmdAdd");
            typeText(screen, "txtFields_1", QStringLiteral("979000%1").arg(++n, 7, 10, QChar('0')));
            typeText(screen, "txtFields_2", QStringLiteral("Benchmark Title %1").arg(n));
            typeText(screen, "txtFields_10", QStringLiteral("5"));
            click(screen, "cmdUpdate");
        }
        screen.checkMessages();
        const std::int64_t added = bench::raw().integer("SELECT count(*) FROM Titles") - before;
        if (added != static_cast<std::int64_t>(state.iterations()))
            throw std::runtime_error("AddNew + Update added " + std::to_string(added) +
                                     " titles in " + std::to_string(state.iterations()) + " runs");
    });
}

void rawAddTitle(benchmark::State &state) {
    guarded(state, [&] {
        bench::Measured measured(state);
        std::int64_t n = 0;
        for (auto _ : state) {
            ++n;
            bench::raw().run("INSERT INTO Titles (ISBN, Title, Qty) VALUES (?1, ?2, ?3)",
                             {"978000" + std::to_string(1000000 + n),
                              "Raw Title " + std::to_string(n), std::int64_t{5}});
        }
    });
}

} // namespace

void registerCatalogueBenchmarks() {
    for (const Sort &sort : kSorts) {
        const std::string name = std::string("Book query: order by ") + sort.name;
        bench::quillmart(name, [&sort](benchmark::State &state) { sortCatalogue(state, sort); });
        bench::baseline(name, [&sort](benchmark::State &state) { rawSortCatalogue(state, sort); });
    }
    const std::string byCode = "Book query: order by Title, by character code";
    bench::baseline(byCode,
                    [](benchmark::State &state) { rawSortCatalogue(state, kSorts[1], true); });
    bench::quillmart("Titles editor (dataTitles): move last, then first", moveLastAndFirst);
    bench::baseline("Titles editor (dataTitles): move last, then first", rawMoveLastAndFirst);
    bench::quillmart("New title (frmCreTitles): AddNew + Update", addTitle);
    bench::baseline("New title (frmCreTitles): AddNew + Update", rawAddTitle);
}
