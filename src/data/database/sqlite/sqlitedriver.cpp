// The SQLite engine and its driver: the shop in one file on this computer, whose location is
// the file's path.
#include "sqlitedriver.h"

#include "commitgate.h"
#include "conversions.h"
#include "databaseerrors.h"
#include "dataerror.h"
#include "driver.h"
#include "fileupgrade.h"
#include "shopdatabase.h"
#include "sqlitedialect.h"
#include "sqlitefile.h"
#include "textorder.h"
#include "wordmatch.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace {

// val(text): the numeric value of the leading number of its argument, 0 when none.
void sqlVal(sqlite3_context *context, int, sqlite3_value **argv) {
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        sqlite3_result_double(context, sqlite3_value_double(argv[0]));
        return;
    case SQLITE_NULL:
        sqlite3_result_null(context);
        return;
    default: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
        sqlite3_result_double(context, conv::leadingNumber(QString::fromUtf8(text)));
    }
    }
}

// Commits wait for the check of the file at start, and are refused once it has found the file
// damaged (the wrapper refuses them as well when the file has gone).
class FileConnection : public ConnectionEngine {
public:
    explicit FileConnection(const ShopDatabase &shop);
    std::unique_ptr<StatementEngine> prepare(const EngineSql &sql) override {
        return std::make_unique<SqliteStatement>(file_, sql.sql);
    }
    void exec(const EngineSql &sql) override { file_.exec(sql.sql); }
    void begin() override { file_.exec(QStringLiteral("BEGIN IMMEDIATE")); }
    void commit() override { file_.exec(QStringLiteral("COMMIT")); }
    void rollback() noexcept override {
        try {
            file_.exec(QStringLiteral("ROLLBACK"));
        } catch (const DataError &) {
        }
    }
    int changes() const override { return file_.changes(); }
    std::vector<TableColumn> columnsOf(const QString &table) override;
    EngineTraits traits() const override { return {}; }
    qint64 commits() const override { return file_.commits(); }

private:
    SqliteFile file_;
};

// A file that is not there is a missing shop, which the operator is told how to make.
QString existing(const QString &path) {
    if (!QFileInfo::exists(path))
        throw DataError(DataError::Kind::Missing, dberror::noShopFile(path));
    return path;
}

FileConnection::FileConnection(const ShopDatabase &shop)
    : file_(existing(shop.location()), SqliteFile::Mode::ReadWrite, shop.settings().busyTimeoutMs) {
    std::shared_ptr<CommitGate> gate = shop.sharedCommitGate();
    file_.refuseCommitsWhen([gate] { return gate->refusal(); });
    TextOrder::registerOn(file_.handle());
    wordmatch::registerOn(file_.handle());
    sqlite3_create_function(file_.handle(), "val", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                            sqlVal, nullptr, nullptr);
    // A recorded sale must survive a power cut: sync on every commit.
    file_.exec(QStringLiteral("PRAGMA synchronous=FULL"));
    // Reading the schema proves the file is a database, not just any file.
    file_.integer(QStringLiteral("SELECT count(*) FROM sqlite_master"));
}

std::vector<TableColumn> FileConnection::columnsOf(const QString &table) {
    SqliteStatement info(file_, QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?)"));
    info.bind(1, table);
    std::vector<TableColumn> columns;
    while (info.step()) {
        const bool key = info.whole(2) != 0;
        columns.push_back({info.string(0), conv::kindFromDeclaredType(info.string(1), key), key});
    }
    return columns;
}

class FileDriver : public Driver {
public:
    std::unique_ptr<ConnectionEngine> connect(const ShopDatabase &shop) const override {
        return std::make_unique<FileConnection>(shop);
    }
    const SqlDialect &dialect() const override { return engines::fileDialect(); }
    QString describe(const QString &location) const override { return location; }
    QString shortName(const QString &location) const override {
        return QFileInfo(location).fileName();
    }
    std::optional<QString> localFile(const QString &location) const override { return location; }
    std::unique_ptr<UpgradeEngine> upgrader(const ShopDatabase &shop) const override {
        return std::make_unique<FileUpgrade>(existing(shop.location()));
    }
};

} // namespace

const Driver &engines::fileDriver() {
    static const FileDriver driver;
    return driver;
}
