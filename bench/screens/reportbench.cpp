// The sales reports on the large shop: the day report for a day, the period report for a
// month and a year, and the top sellers of a year (List, then Rank), each against the same
// rows read, totalled or grouped through the C API.
#include "benchmain.h"
#include "conversions.h"
#include "recordsource.h"
#include "screenshop.h"

#include <QLabel>
#include <cmath>
#include <map>

namespace {

using namespace screenbench;

std::string iso(const QDate &day) {
    return day.toString(Qt::ISODate).toStdString();
}

// Two ordinary days a little before the last one, which the selling benchmarks add to.
QDate reportDay(int which) {
    return bench::shop().lastDay.addDays(-10 - which);
}

struct Period {
    QDate first, last;
};

Period lastFullMonth() {
    const QDate last = bench::shop().lastDay;
    const QDate first = QDate(last.year(), last.month(), 1).addMonths(-1);
    return {first, first.addMonths(1).addDays(-1)};
}

Period lastYear() {
    const QDate last = bench::shop().lastDay;
    return {last.addYears(-1).addDays(1), last};
}

const char *const kSalesRows =
    "SELECT rowid, * FROM soldbook WHERE SoldDate >= ?1 AND SoldDate <= ?2 ORDER BY SoldDate";
constexpr int kPrice = 5, kQty = 6; // columns of "rowid, *"
const char *const kTakings =
    "SELECT total(Price * Qty) FROM soldbook WHERE SoldDate BETWEEN ?1 AND ?2";

// The rows each report's grid had read when its benchmark ended: its baseline reads as many
// (a screenful of a long list), and lets SQLite total the rest as the screen does.
std::map<std::string, std::int64_t> &rowsRead() {
    static std::map<std::string, std::int64_t> rows;
    return rows;
}

void rememberRowsRead(const std::string &report, QWidget *screen) {
    std::int64_t rows = 0;
    for (RecordSource *source : sources(screen))
        rows += source->loadedCount();
    rowsRead()[report] = rows;
}

// The same rows as the screen read, and the period's total.
RawShop::Read rawReport(const std::string &report, const std::string &rowsSql,
                        const std::vector<RawShop::Value> &rowParams, const std::string &first,
                        const std::string &last) {
    const auto known = rowsRead().find(report);
    RawShop::Read read = bench::raw().read(rowsSql, rowParams, -1, -1,
                                           known == rowsRead().end() ? -1 : known->second);
    read.total = std::stod(bench::raw().text(kTakings, {first, last}));
    return read;
}

// The figure a screen shows against the raw total of the same rows.
void checkTotal(QWidget *screen, const QString &label, double rawTotal) {
    const QString shown = qobject_cast<QLabel *>(child(screen, label))->text();
    const auto value = conv::parseNumber(shown);
    if (!value || std::abs(*value - rawTotal) > 1e-6 * std::max(1.0, std::abs(rawTotal)))
        throw std::runtime_error("the screen shows the total " + shown.toStdString() +
                                 ", the rows add up to " + std::to_string(rawTotal));
}

void dayReport(benchmark::State &state) {
    guarded(state, [&] {
        ScreenUnderTest screen("frmDayReport");
        pickDay(screen, "DTPicker1", reportDay(0));
        checkTotal(screen, "Label4",
                   bench::raw()
                       .read(kSalesRows, {iso(reportDay(0)), iso(reportDay(0))}, kPrice, kQty)
                       .total);
        bench::Measured measured(state);
        int which = 0;
        for (auto _ : state)
            pickDay(screen, "DTPicker1", reportDay(++which % 2));
        screen.checkMessages();
        rememberRowsRead("day", screen);
    });
}

void rawDayReport(benchmark::State &state) {
    guarded(state, [&] {
        bench::Measured measured(state);
        int which = 0;
        for (auto _ : state) {
            const std::string day = iso(reportDay(++which % 2));
            benchmark::DoNotOptimize(rawReport(
                "day", "SELECT rowid, * FROM soldbook WHERE SoldDate = ?1 ORDER BY SoldTime", {day},
                day, day));
        }
    });
}

void periodReport(benchmark::State &state, const std::string &name, Period period) {
    guarded(state, [&] {
        ScreenUnderTest screen("frmMonthRpt");
        pickDay(screen, "DTPicker1", period.first);
        pickDay(screen, "DTPicker2", period.last);
        {
            bench::Measured measured(state);
            for (auto _ : state)
                click(screen, "Command1");
            measured.set("rows", static_cast<double>(sources(screen).front()->loadedCount()));
        }
        screen.checkMessages();
        rememberRowsRead(name, screen);
        checkTotal(screen, "Label4",
                   bench::raw()
                       .read(kSalesRows, {iso(period.first), iso(period.last)}, kPrice, kQty)
                       .total);
    });
}

void rawPeriodReport(benchmark::State &state, const std::string &name, Period period) {
    guarded(state, [&] {
        bench::Measured measured(state);
        std::int64_t rows = 0;
        for (auto _ : state) {
            const RawShop::Read read =
                rawReport(name, kSalesRows, {iso(period.first), iso(period.last)},
                          iso(period.first), iso(period.last));
            benchmark::DoNotOptimize(read.total);
            rows = read.rows;
        }
        measured.set("rows", static_cast<double>(rows));
    });
}

void topSellers(benchmark::State &state, bool rank) {
    guarded(state, [&] {
        ScreenUnderTest screen("A1A2");
        pickDay(screen, "DTPicker1", lastYear().first);
        pickDay(screen, "DTPicker2", lastYear().last);
        if (rank)
            click(screen, "command1");
        bench::Measured measured(state);
        for (auto _ : state)
            click(screen, rank ? "Command2" : "command1");
        screen.checkMessages();
    });
}

// The floor of List: one GROUP BY of the year's sales into tmp, then tmp read back.
void rawSummary() {
    RawShop &raw = bench::raw();
    raw.run("BEGIN IMMEDIATE");
    raw.run("DELETE FROM tmp");
    raw.run("INSERT INTO tmp (A, B, C) SELECT ISBN, Title, sum(Qty) FROM soldbook "
            "WHERE SoldDate <= ?1 AND SoldDate >= ?2 GROUP BY ISBN ORDER BY ISBN",
            {iso(lastYear().last), iso(lastYear().first)});
    raw.run("COMMIT");
}

void rawTopSellersList(benchmark::State &state) {
    guarded(state, [&] {
        bench::Measured measured(state);
        for (auto _ : state) {
            rawSummary();
            benchmark::DoNotOptimize(bench::raw().read("SELECT rowid, * FROM tmp"));
        }
    });
}

void rawTopSellersRank(benchmark::State &state) {
    guarded(state, [&] {
        rawSummary(); // closing the screen emptied tmp
        bench::Measured measured(state);
        for (auto _ : state)
            benchmark::DoNotOptimize(
                bench::raw().read("SELECT rowid, * FROM tmp ORDER BY CAST(C AS REAL) DESC"));
    });
}

} // namespace

void registerReportBenchmarks() {
    bench::quillmart("Day report: one day", dayReport);
    bench::baseline("Day report: one day", rawDayReport);
    bench::quillmart("Period report: one month", [](benchmark::State &state) {
        periodReport(state, "month", lastFullMonth());
    });
    bench::baseline("Period report: one month", [](benchmark::State &state) {
        rawPeriodReport(state, "month", lastFullMonth());
    });
    bench::quillmart("Period report: one year",
                     [](benchmark::State &state) { periodReport(state, "year", lastYear()); });
    bench::baseline("Period report: one year",
                    [](benchmark::State &state) { rawPeriodReport(state, "year", lastYear()); });
    bench::quillmart("Top sellers, one year: List",
                     [](benchmark::State &state) { topSellers(state, false); });
    bench::baseline("Top sellers, one year: List", rawTopSellersList);
    bench::quillmart("Top sellers, one year: Rank",
                     [](benchmark::State &state) { topSellers(state, true); });
    bench::baseline("Top sellers, one year: Rank", rawTopSellersRank);
}
