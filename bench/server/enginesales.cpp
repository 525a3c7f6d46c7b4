// Selling on either engine: one sale (its time and its commits), the top sellers of a year,
// and the sales per second of 1, 2, 4 and 8 tills selling at once, each its own session, on
// random titles; against the engine's C API sending the same statements.
#include "engineshop.h"
#include "opendatabase.h"
#include "rawserver.h"
#include "rawshop.h"
#include "receipts.h"
#include "shopoperations.h"
#include "shopsession.h"

#include <QElapsedTimer>
#include <QUuid>
#include <mutex>
#include <random>
#include <thread>

namespace {

using namespace enginebench;

void sale(benchmark::State &state) {
    guarded(state, [&] {
        auto session = ShopSession::open(drivers::open(bench::shop().location));
        // One sale untimed, as on the raw side: the first one pays for the connection's caches.
        std::size_t next = 0;
        shop::bookSale(*session, saleLine(saleTitles()[next++]), saleDay(), QTime(10, 30));
        // The transactions the program's connection committed, as its engine counts them.
        const qint64 before = session->connection().commits();
        bench::Measured measured(state);
        for (auto _ : state)
            shop::bookSale(*session, saleLine(saleTitles()[next++ % saleTitles().size()]),
                           saleDay(), QTime(10, 30));
        const auto iterations = static_cast<double>(state.iterations());
        measured.set("commits", iterations > 0 ? static_cast<double>(
                                                     session->connection().commits() - before) /
                                                     iterations
                                               : 0);
    });
}

// A receipt of one line, then its cash payment: the counter's two commits of a customer who
// buys one title. This till is the file's, or on a server the one the login is registered at.
void saleWithPayment(benchmark::State &state) {
    guarded(state, [&] {
        auto session = ShopSession::open(drivers::open(bench::shop().location));
        const qint64 cash = counterTill(session->connection());
        bench::Measured measured(state);
        std::size_t next = 0;
        for (auto _ : state) {
            const SaleLine sale = saleLine(saleTitles()[next++ % saleTitles().size()]);
            ReceiptRecord receipt;
            receipt.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
            receipt.opened = QDateTime(saleDay(), QTime(10, 30));
            receipt.lines.push_back({1, sale.bookNo, sale.isbn, sale.title, sale.price,
                                     sale.quantity, saleDay(), QTime(10, 30)});
            shop::storeReceipt(*session, receipt);
            const Money due = sale.price.times(sale.quantity);
            receipt.payments.push_back({1, cash, due, due, Money(), receipt.opened});
            receipt.paidAt = receipt.opened;
            shop::storeReceipt(*session, receipt);
        }
    });
}

void rawSale(benchmark::State &state) {
    guarded(state, [&] {
        RawTill till;
        std::size_t next = 0;
        till.sell(saleTitles()[next++]);
        CommitCounter commits(till.fileHandle());
        bench::Measured measured(state);
        for (auto _ : state)
            till.sell(saleTitles()[next++ % saleTitles().size()]);
        measured.set("commits", commits.perIteration(state.iterations()));
    });
}

// The year up to the last day of sales.
QDate yearStart() {
    return saleDay().addYears(-1).addDays(1);
}

void topSellers(benchmark::State &state) {
    guarded(state, [&] {
        auto session = ShopSession::open(drivers::open(bench::shop().location));
        bench::Measured measured(state);
        for (auto _ : state)
            shop::buildTopSellers(*session, yearStart(), saleDay());
        measured.set("rows",
                     static_cast<double>(
                         session->connection().scalar("SELECT count(*) FROM tmp").toLongLong()));
    });
}

// The same summary in the statements the program sends.
void rawTopSellers(benchmark::State &state) {
    guarded(state, [&] {
        // The file's copies as the shortest text of the number through printf, the server's
        // through a cast; the file's date test kept off the index by a unary plus.
        const bool server = bench::onServer();
        const std::string fill = engineSql(
            std::string("INSERT INTO tmp ([A], [B], [C]) SELECT g.ISBN, s.[Title], ") +
            (server ? "coalesce(g.copies, 0)::text" : "printf('%.15g', coalesce(g.copies, 0))") +
            " FROM (SELECT [ISBN] AS ISBN, sum([Qty]) AS copies, min(rowid) AS firstSale FROM "
            "soldbook WHERE " +
            (server ? "[SoldDate] <= ? AND [SoldDate] >= ?"
                    : "+[SoldDate] <= ? AND +[SoldDate] >= ?") +
            " GROUP BY [ISBN] ORDER BY firstSale) AS g JOIN soldbook AS s ON s.rowid = "
            "g.firstSale ORDER BY g.ISBN");
        const std::string empty = engineSql("DELETE FROM tmp");
        const std::string last = saleDay().toString(Qt::ISODate).toStdString();
        const std::string first = yearStart().toString(Qt::ISODate).toStdString();
        bench::Measured measured(state);
        for (auto _ : state) {
            if (server) {
                RawServer &connection = bench::rawServer();
                connection.run("BEGIN");
                connection.run(empty);
                connection.run(fill, {last, first});
                connection.run("COMMIT");
            } else {
                RawShop &file = bench::raw();
                file.run("BEGIN IMMEDIATE");
                file.run(empty);
                file.run(fill, {last, first});
                file.run("COMMIT");
            }
        }
    });
}

constexpr int kSalesPerTill = 20;

// Each iteration: every till sells kSalesPerTill copies of random titles at once, each
// on its own thread and connection; the sales per second are of the whole shop.
template <typename Till, typename Sell>
void tillsSelling(benchmark::State &state, std::vector<std::unique_ptr<Till>> &tills, Sell sell) {
    bench::Measured measured(state);
    double seconds = 0;
    std::int64_t sold = 0;
    unsigned seed = 1;
    for (auto _ : state) {
        std::mutex failed;
        std::string failure;
        std::vector<std::thread> threads;
        QElapsedTimer clock;
        clock.start();
        for (auto &till : tills)
            threads.emplace_back([&, t = till.get(), s = seed++] {
                std::mt19937 random(s);
                std::uniform_int_distribution<std::size_t> pick(0, saleTitles().size() - 1);
                try {
                    for (int i = 0; i < kSalesPerTill; ++i)
                        sell(*t, saleTitles()[pick(random)]);
                } catch (const std::exception &error) {
                    const std::lock_guard lock(failed);
                    failure = error.what();
                }
            });
        for (std::thread &thread : threads)
            thread.join();
        seconds += static_cast<double>(clock.nsecsElapsed()) / 1e9;
        if (!failure.empty())
            throw std::runtime_error(failure);
        sold += static_cast<std::int64_t>(tills.size()) * kSalesPerTill;
    }
    measured.set("sales_per_s", seconds > 0 ? static_cast<double>(sold) / seconds : 0);
}

void tills(benchmark::State &state, int count) {
    guarded(state, [&] {
        (void)saleTitles(); // read once, before the threads
        std::vector<std::unique_ptr<std::shared_ptr<ShopSession>>> sessions;
        for (int i = 0; i < count; ++i) {
            sessions.push_back(std::make_unique<std::shared_ptr<ShopSession>>(
                ShopSession::open(drivers::open(bench::shop().location))));
            (*sessions.back())->connection();
        }
        tillsSelling(state, sessions,
                     [](std::shared_ptr<ShopSession> &session, const SaleTitle &title) {
                         shop::bookSale(*session, saleLine(title), saleDay(), QTime(10, 30));
                     });
    });
}

void rawTills(benchmark::State &state, int count) {
    guarded(state, [&] {
        (void)saleTitles();
        std::vector<std::unique_ptr<RawTill>> rawTills;
        for (int i = 0; i < count; ++i)
            rawTills.push_back(std::make_unique<RawTill>());
        tillsSelling(state, rawTills,
                     [](RawTill &till, const SaleTitle &title) { till.sell(title); });
    });
}

} // namespace

void registerEngineSaleBenchmarks() {
    bench::quillmart("A sale (shop::bookSale)", sale);
    bench::baseline("A sale (shop::bookSale)", rawSale);
    bench::quillmart("A sale with its payment (shop::storeReceipt)", saleWithPayment);
    bench::quillmart("Top sellers of a year", topSellers);
    bench::baseline("Top sellers of a year", rawTopSellers);
    for (int count : {1, 2, 4, 8}) {
        const std::string name = std::to_string(count) + (count == 1 ? " till" : " tills") +
                                 " selling at once (" + std::to_string(kSalesPerTill) +
                                 " sales each)";
        bench::quillmart(name, [count](benchmark::State &s) { tills(s, count); });
        bench::baseline(name, [count](benchmark::State &s) { rawTills(s, count); });
    }
}
