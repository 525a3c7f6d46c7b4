// What the benchmarks of either engine share: the titles sold, a till of the baseline that
// sells through the engine's C API, and the counting of commits, on the shop file or on the
// same shop on a PostgreSQL server (bench::onServer()).
#pragma once

#include "benchmain.h"

#include <QDate>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Connection;
class RawServer;
class RawShop;
struct SaleLine;
struct sqlite3;

namespace enginebench {

struct SaleTitle {
    std::int64_t bookNo;
    std::string isbn, title;
    double price;
};

// Every 97th title: popular and unpopular ones, on offer and not; not those added by the
// benchmarks before, which have no sale price.
const std::vector<SaleTitle> &saleTitles();
SaleLine saleLine(const SaleTitle &title);
// The day the sales are booked on: the shop's last day of sales.
QDate saleDay();

// Runs a benchmark body; a failure (a thrown exception) ends the benchmark with its text.
void guarded(benchmark::State &state, const std::function<void()> &body);

// The counter's rows the made-up shop is made without (cash and card, as a new shop has) and
// a till this connection sells at: the file's first, or on a server the one the login is
// registered at. Returns the cash method.
qint64 counterTill(Connection &connection);

// The SQL the program sends for a statement written in the file's form: the same text on
// the file, its translation on the server.
std::string engineSql(const std::string &fileSql);

// A till of the baseline: one connection of its own, selling one copy in one transaction
// with the statements the program's sale runs.
class RawTill {
public:
    RawTill();
    ~RawTill();
    RawTill(const RawTill &) = delete;
    RawTill &operator=(const RawTill &) = delete;
    void sell(const SaleTitle &title);
    // The file's connection (null on the server), for counting its commits.
    sqlite3 *fileHandle() const;

private:
    std::unique_ptr<RawShop> file_;
    std::unique_ptr<RawServer> server_;
    std::string day_, update_, insert_;
};

// Counts the transactions committed, from construction to perIteration(): on the file
// those of one connection (its statements traced), on the server every one that wrote (the
// server's transaction ids handed out meanwhile; the work measured runs alone there).
class CommitCounter {
public:
    explicit CommitCounter(sqlite3 *file);
    ~CommitCounter();
    CommitCounter(const CommitCounter &) = delete;
    CommitCounter &operator=(const CommitCounter &) = delete;
    double perIteration(std::int64_t iterations);

private:
    static int counted(unsigned event, void *self, void *statement, void *elapsed);
    std::int64_t serverTransactions() const;

    sqlite3 *file_;
    std::int64_t commits_ = 0;
    std::int64_t start_ = 0;
};

} // namespace enginebench
