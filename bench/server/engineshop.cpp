// The titles sold, the baseline's till and the counting of commits, on either engine.
#include "engineshop.h"

#include "rawserver.h"
#include "rawshop.h"
#include "serversql.h"
#include "shopoperations.h"

#include <sqlite3.h>

namespace enginebench {

namespace {

// As the program's sale writes them.
const std::string kUpdate = "UPDATE Titles SET Qty = Qty - ? WHERE BOOKNO = ?";
const std::string kInsert = "INSERT INTO soldbook (SoldDate, SoldTime, ISBN, Title, Price, Qty) "
                            "VALUES (?, ?, ?, ?, ?, ?)";
const std::string kTime = "10:30:00";

} // namespace

const std::vector<SaleTitle> &saleTitles() {
    static std::vector<SaleTitle> sample;
    if (sample.empty())
        for (const auto &row : bench::raw().texts("SELECT BOOKNO, ISBN, Title, [Sale Price] "
                                                  "FROM Titles WHERE BOOKNO % 97 = 1 LIMIT 1000"))
            sample.push_back({std::stoll(row[0]), row[1], row[2], std::stod(row[3])});
    return sample;
}

SaleLine saleLine(const SaleTitle &title) {
    SaleLine line;
    line.bookNo = title.bookNo;
    line.isbn = QString::fromStdString(title.isbn);
    line.title = QString::fromStdString(title.title);
    line.price = title.price;
    line.quantity = 1;
    return line;
}

QDate saleDay() {
    return bench::shop().lastDay;
}

std::string engineSql(const std::string &fileSql) {
    if (!bench::onServer())
        return fileSql;
    return serversql::translate(QString::fromStdString(fileSql)).sql.toStdString();
}

RawTill::RawTill()
    : day_(saleDay().toString(Qt::ISODate).toStdString()), update_(engineSql(kUpdate)),
      insert_(engineSql(kInsert)) {
    if (bench::onServer())
        server_ = std::make_unique<RawServer>(bench::shop().conninfo);
    else
        file_ = std::make_unique<RawShop>(bench::shop().path);
}

RawTill::~RawTill() = default;

void RawTill::sell(const SaleTitle &title) {
    if (server_) {
        server_->run("BEGIN");
        server_->run(update_, {"1", std::to_string(title.bookNo)});
        char price[32];
        std::snprintf(price, sizeof price, "%.17g", title.price);
        server_->run(insert_, {day_, kTime, title.isbn, title.title, price, "1"});
        server_->run("COMMIT");
        return;
    }
    file_->run("BEGIN IMMEDIATE");
    file_->run(update_, {std::int64_t{1}, title.bookNo});
    file_->run(insert_, {day_, kTime, title.isbn, title.title, title.price, std::int64_t{1}});
    file_->run("COMMIT");
}

sqlite3 *RawTill::fileHandle() const {
    return file_ ? file_->handle() : nullptr;
}

CommitCounter::CommitCounter(sqlite3 *file) : file_(file) {
    if (file_ != nullptr)
        previous_ = reinterpret_cast<int (*)(void *)>(sqlite3_commit_hook(file_, counted, this));
    else
        start_ = serverTransactions();
}

CommitCounter::~CommitCounter() {
    // The program's own hook is given back with the argument it installs it with: its handle.
    if (file_ != nullptr)
        sqlite3_commit_hook(file_, previous_, file_);
}

int CommitCounter::counted(void *self) {
    auto *counter = static_cast<CommitCounter *>(self);
    // The program's hook may refuse the commit; only what it lets through is counted.
    const int refused = counter->previous_ ? counter->previous_(counter->file_) : 0;
    if (refused == 0)
        ++counter->commits_;
    return refused;
}

std::int64_t CommitCounter::serverTransactions() const {
    return bench::rawServer().integer("SELECT pg_current_xact_id()::text::bigint");
}

double CommitCounter::perIteration(std::int64_t iterations) {
    // Each look at the server's counter takes an id of its own: the first one's is left out.
    const std::int64_t commits = file_ != nullptr ? commits_ : serverTransactions() - start_ - 1;
    return iterations > 0 ? static_cast<double>(commits) / static_cast<double>(iterations) : 0;
}

} // namespace enginebench
