// The titles sold, the baseline's till and the counting of commits, on either engine.
#include "engineshop.h"

#include "connection.h"
#include "dataerror.h"
#include "pgdialect.h"
#include "rawserver.h"
#include "rawshop.h"
#include "receipts.h"
#include "shopoperations.h"
#include "sqldialect.h"

#include <sqlite3.h>

namespace enginebench {

namespace {

// As the program's sale writes them: on the file, the stock and the sale row; on the server,
// through the sale's function.
const std::string kUpdate = "UPDATE Titles SET Qty = Qty - ? WHERE BOOKNO = ?";
const std::string kInsert = "INSERT INTO soldbook (SoldDate, SoldTime, ISBN, Title, Price, Qty) "
                            "VALUES (?, ?, ?, ?, ?, ?)";
const std::string kServerSale = "SELECT quillmart_book_sale($1::integer, $2::integer, "
                                "$3::numeric, $4::date, $5::time)";
const std::string kTime = "10:30:00";

} // namespace

const std::vector<SaleTitle> &saleTitles() {
    static std::vector<SaleTitle> sample;
    if (sample.empty())
        for (const auto &row :
             bench::raw().texts("SELECT BOOKNO, ISBN, Title, [Sale Price] "
                                "FROM Titles WHERE BOOKNO % 97 = 1 AND [Sale Price] IS NOT NULL "
                                "LIMIT 1000"))
            sample.push_back({std::stoll(row[0]), row[1], row[2], std::stod(row[3])});
    return sample;
}

SaleLine saleLine(const SaleTitle &title) {
    SaleLine line;
    line.bookNo = title.bookNo;
    line.isbn = QString::fromStdString(title.isbn);
    line.title = QString::fromStdString(title.title);
    line.price = *Money::fromDouble(title.price);
    line.quantity = 1;
    return line;
}

QDate saleDay() {
    return bench::shop().lastDay;
}

// Runs a benchmark body; a failure (a thrown exception) ends the benchmark with its text.
void guarded(benchmark::State &state, const std::function<void()> &body) {
    try {
        body();
    } catch (const std::exception &error) {
        state.SkipWithError(error.what());
    }
}

qint64 counterTill(Connection &connection) {
    shop::addCounterDefaults(connection, false);
    connection.exec(QStringLiteral("INSERT INTO tills (Name, Prefix) SELECT 'Bench', 'BN' WHERE "
                                   "NOT EXISTS (SELECT 1 FROM tills)"));
    try { // a server's login is the till's; the file has no logins
        connection.exec(QStringLiteral("UPDATE tills SET Login = session_user WHERE Till = "
                                       "(SELECT min(Till) FROM tills)"));
    } catch (const DataError &) {
    }
    return shop::paymentMethods(connection).front().id;
}

std::string engineSql(const std::string &fileSql) {
    if (!bench::onServer())
        return fileSql;
    return engines::serverDialect().statement(QString::fromStdString(fileSql)).sql.toStdString();
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
        char price[32];
        std::snprintf(price, sizeof price, "%.17g", title.price);
        server_->run("BEGIN");
        server_->run(kServerSale, {std::to_string(title.bookNo), "1", price, day_, kTime});
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
    // The program keeps the commit hook for itself: its statements are watched instead.
    if (file_ != nullptr)
        sqlite3_trace_v2(file_, SQLITE_TRACE_PROFILE, counted, this);
    else
        start_ = serverTransactions();
}

CommitCounter::~CommitCounter() {
    if (file_ != nullptr)
        sqlite3_trace_v2(file_, 0, nullptr, nullptr);
}

// A statement has run to its end: a COMMIT, or a change made outside any transaction
// (which SQLite commits on its own).
int CommitCounter::counted(unsigned, void *self, void *statement, void *) {
    auto *counter = static_cast<CommitCounter *>(self);
    auto *stmt = static_cast<sqlite3_stmt *>(statement);
    const char *sql = sqlite3_sql(stmt);
    while (sql != nullptr && (*sql == ' ' || *sql == '\n'))
        ++sql;
    const bool commit = sql != nullptr && (sqlite3_strnicmp(sql, "COMMIT", 6) == 0 ||
                                           sqlite3_strnicmp(sql, "END", 3) == 0);
    if (commit || (!sqlite3_stmt_readonly(stmt) && sqlite3_get_autocommit(counter->file_)))
        ++counter->commits_;
    return 0;
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
