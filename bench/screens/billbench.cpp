// Supplier bills on the large shop: listing one supplier's open bills (paying screen, and the
// printing screen that also copies them into tempPay) and paying one bill, against the C API.
#include "benchmain.h"
#include "screenshop.h"

#include <algorithm>

namespace {

using namespace screenbench;

std::string iso(const QDate &day) {
    return day.toString(Qt::ISODate).toStdString();
}

// The supplier with the most open bills, so that there are bills to list and to pay.
const std::string &supplier() {
    static const std::string name = bench::raw().text(
        "SELECT Retail FROM Bill GROUP BY Retail ORDER BY count(*) DESC, Retail LIMIT 1");
    return name;
}

void chooseBills(QWidget *screen) {
    typeText(screen, "DataCombo1", QString::fromStdString(supplier()));
    pickDay(screen, "DTPicker1", bench::shop().firstDay);
    pickDay(screen, "DTPicker2", bench::shop().lastDay);
}

const char *const kListing = "SELECT rowid, * FROM Bill WHERE [Invoice Date] <= ?1 AND "
                             "[Invoice Date] >= ?2 AND Retail = ?3";

std::vector<RawShop::Value> listingParams() {
    return {iso(bench::shop().lastDay), iso(bench::shop().firstDay), supplier()};
}

void listBills(benchmark::State &state, const QString &screenId) {
    guarded(state, [&] {
        ScreenUnderTest screen(screenId);
        chooseBills(screen);
        bench::Measured measured(state);
        for (auto _ : state)
            click(screen, "Command1");
        screen.checkMessages();
        measured.set("rows",
                     static_cast<double>(bench::raw().read(kListing, listingParams()).rows));
    });
}

void rawListBills(benchmark::State &state) {
    guarded(state, [&] {
        bench::Measured measured(state);
        for (auto _ : state)
            benchmark::DoNotOptimize(bench::raw().read(kListing, listingParams()));
    });
}

void rawListAndCopyBills(benchmark::State &state) {
    guarded(state, [&] {
        RawShop &raw = bench::raw();
        bench::Measured measured(state);
        for (auto _ : state) {
            benchmark::DoNotOptimize(raw.read(kListing, listingParams()));
            raw.run("BEGIN IMMEDIATE");
            raw.run("DELETE FROM tempPay");
            raw.run("INSERT INTO tempPay SELECT [Invoice No], [Invoice Date], Fee, [Invoice Time], "
                    "Retail, ?3 FROM Bill WHERE [Invoice Date] <= ?1 AND [Invoice Date] >= ?2 "
                    "AND Retail = ?3",
                    listingParams());
            raw.run("COMMIT");
            benchmark::DoNotOptimize(raw.read("SELECT rowid, * FROM tempPay"));
        }
    });
}

std::int64_t openBills() {
    return bench::raw().integer("SELECT count(*) FROM Bill");
}

void payBill(benchmark::State &state) {
    guarded(state, [&] {
        ScreenUnderTest screen("frmCheckPay");
        chooseBills(screen);
        const std::int64_t before = openBills();
        bench::Measured measured(state);
        for (auto _ : state) {
            measured.pause();
            click(screen, "Command1"); // the listing's first bill becomes current
            measured.resume();
            click(screen, "Command2");
        }
        screen.checkMessages();
        if (before - openBills() != static_cast<std::int64_t>(state.iterations()))
            throw std::runtime_error("Pay Confirm paid " + std::to_string(before - openBills()) +
                                     " bills in " + std::to_string(state.iterations()) + " runs");
    });
}

void rawPayBill(benchmark::State &state) {
    guarded(state, [&] {
        RawShop &raw = bench::raw();
        const std::string today = iso(bench::shop().lastDay);
        bench::Measured measured(state);
        for (auto _ : state) {
            measured.pause();
            const std::int64_t bill = raw.integer(
                "SELECT rowid FROM Bill WHERE Retail = ?1 ORDER BY rowid LIMIT 1", {supplier()});
            measured.resume();
            raw.run("BEGIN IMMEDIATE");
            raw.run(
                "INSERT INTO paidbill SELECT [Invoice No], [Invoice Date], Fee, [Invoice Time], "
                "Retail, ?1 FROM Bill WHERE rowid = ?2",
                {today, bill});
            raw.run("DELETE FROM Bill WHERE rowid = ?1", {bill});
            raw.run("COMMIT");
        }
    });
}

} // namespace

void registerBillBenchmarks() {
    bench::quillmart("Bill payment (frmCheckPay): Query List",
                     [](benchmark::State &state) { listBills(state, "frmCheckPay"); });
    bench::baseline("Bill payment (frmCheckPay): Query List", rawListBills);
    bench::quillmart("Bill printing (frmBill): Query List, copied to tempPay",
                     [](benchmark::State &state) { listBills(state, "frmBill"); });
    bench::baseline("Bill printing (frmBill): Query List, copied to tempPay", rawListAndCopyBills);
    // A fixed number of payments, so that the supplier's open bills never run out over the
    // repetitions of both sides.
    const auto payments = std::clamp<std::int64_t>(
        bench::raw().integer("SELECT count(*) FROM Bill WHERE Retail = ?1", {supplier()}) / 8, 1,
        40);
    bench::quillmart("Bill payment (frmCheckPay): Pay Confirm, one bill", payBill)
        ->Iterations(payments);
    bench::baseline("Bill payment (frmCheckPay): Pay Confirm, one bill", rawPayBill)
        ->Iterations(payments);
}
