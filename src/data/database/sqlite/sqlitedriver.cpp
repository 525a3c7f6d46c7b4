// The SQLite engine and its driver: the shop in one file on this computer, whose location is
// the file's path.
#include "commitgate.h"
#include "conversions.h"
#include "databaseerrors.h"
#include "dataerror.h"
#include "driver.h"
#include "fileupgrade.h"
#include "idlepool.h"
#include "shopdatabase.h"
#include "sqlitedialect.h"
#include "sqlitefile.h"
#include "textorder.h"
#include "wordmatch.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>
#include <sys/stat.h>

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

// A statement whose text may change how the connection behaves for whoever uses it next.
bool setsTheConnection(const QString &sql) {
    return sql.contains(QLatin1String("pragma"), Qt::CaseInsensitive);
}

// What the driver keeps of one shop while the program has it open, for every copy of its
// ShopDatabase: the connections of its closed screens, for the next screens to take. A new
// connection reads the file's whole schema at its first statement, which is most of the cost
// of opening a screen on a file of many tables.
class FileShopState : public ShopState {
public:
    // A connection a closed screen left on the file that is at `path` now, never one on a
    // file put aside, restored over or made anew since; none when none is kept.
    std::unique_ptr<SqliteFile> take(const QString &path) {
        std::optional<Kept> kept = idle_.take();
        if (!kept)
            return nullptr;
        // The file at the path is still the one it was opened on: the same device and inode
        // as when it was kept (which no other file can have while it is held open), and
        // SQLite finds its own open file at the path.
        Identity now;
        if (identify(path, now) && now == kept->identity && !kept->file->hasMoved())
            return std::move(kept->file);
        // The others were opened on the same file as this one.
        idle_.clear();
        return nullptr;
    }

    // Keeps the connection when the next screen would find nothing of this one's on it
    // (sqlitefile.h) and the file is still at `path`; closes it otherwise.
    void put(std::unique_ptr<SqliteFile> file, const QString &path) {
        Identity identity;
        if (!file->leavesNothingBehind() || !identify(path, identity) || file->hasMoved())
            return;
        // Kept, it holds no pages: the closed screen's memory is given back, and the next
        // screen reads what it shows as a new connection would.
        file->releaseCache();
        idle_.put({std::move(file), identity});
    }

    void closeIdle() override { idle_.clear(); }
    std::size_t idleCount() const override { return idle_.size(); }

private:
    // Which file a path names: the same path may name another file after a restore.
    struct Identity {
        dev_t device = 0;
        ino_t inode = 0;
        bool operator==(const Identity &) const = default;
    };
    static bool identify(const QString &path, Identity &identity) {
        struct stat status {};
        if (::stat(QFile::encodeName(path).constData(), &status) != 0)
            return false;
        identity = {status.st_dev, status.st_ino};
        return true;
    }

    struct Kept {
        std::unique_ptr<SqliteFile> file;
        Identity identity;
    };
    IdlePool<Kept> idle_;
};

// Commits wait for the check of the file at start, and are refused once it has found the file
// damaged (the wrapper refuses them as well when the file has gone). A connection a closed
// screen left is taken when there is one (FileShopState), and left for the next screen in turn.
class FileConnection : public ConnectionEngine {
public:
    explicit FileConnection(const ShopDatabase &shop);
    ~FileConnection() override;
    std::unique_ptr<StatementEngine> prepare(const EngineSql &sql) override {
        kept_ = kept_ && !setsTheConnection(sql.sql);
        return std::make_unique<SqliteStatement>(*file_, sql.sql);
    }
    void exec(const EngineSql &sql) override {
        kept_ = kept_ && !setsTheConnection(sql.sql);
        file_->exec(sql.sql);
    }
    void begin() override { file_->exec(QStringLiteral("BEGIN IMMEDIATE")); }
    void commit() override { file_->exec(QStringLiteral("COMMIT")); }
    void rollback() noexcept override {
        try {
            file_->exec(QStringLiteral("ROLLBACK"));
        } catch (const DataError &) {
        }
    }
    int changes() const override { return file_->changes(); }
    std::vector<TableColumn> columnsOf(const QString &table) override;
    EngineTraits traits() const override { return {}; }
    qint64 commits() const override { return file_->commits() - commitsBefore_; }

private:
    std::shared_ptr<FileShopState> shop_;
    QString path_;
    std::unique_ptr<SqliteFile> file_;
    qint64 commitsBefore_ = 0; // those of the screens that had the connection before
    bool kept_ = true;         // left for the next screen when this one closes
};

// A file that is not there is a missing shop, which the operator is told how to make.
QString existing(const QString &path) {
    if (!QFileInfo::exists(path))
        throw DataError(DataError::Kind::Missing, dberror::noShopFile(path));
    return path;
}

std::unique_ptr<SqliteFile> openFile(const QString &path, int busyTimeoutMs) {
    auto file = std::make_unique<SqliteFile>(path, SqliteFile::Mode::ReadWrite, busyTimeoutMs);
    wordmatch::registerOn(file->handle());
    sqlite3_create_function(file->handle(), "val", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                            sqlVal, nullptr, nullptr);
    // A recorded sale must survive a power cut: sync on every commit.
    file->exec(QStringLiteral("PRAGMA synchronous=FULL"));
    // Reading the schema proves the file is a database, not just any file.
    file->integer(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    return file;
}

FileConnection::FileConnection(const ShopDatabase &shop)
    : shop_(std::static_pointer_cast<FileShopState>(shop.driverState())),
      path_(existing(shop.location())) {
    const int busyTimeoutMs = shop.settings().busyTimeoutMs;
    file_ = shop_->take(path_);
    if (file_)
        file_->setBusyTimeout(busyTimeoutMs);
    else
        file_ = openFile(path_, busyTimeoutMs);
    commitsBefore_ = file_->commits();
    std::shared_ptr<CommitGate> gate = shop.sharedCommitGate();
    file_->refuseCommitsWhen([gate] { return gate->refusal(); });
    // The order of this thread and locale, which need not be those of the screen before.
    TextOrder::registerOn(file_->handle());
}

FileConnection::~FileConnection() {
    if (kept_)
        shop_->put(std::move(file_), path_);
}

std::vector<TableColumn> FileConnection::columnsOf(const QString &table) {
    SqliteStatement info(*file_, QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?)"));
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
    std::shared_ptr<ShopState> newShopState() const override {
        return std::make_shared<FileShopState>();
    }
};

} // namespace

const Driver &engines::fileDriver() {
    static const FileDriver driver;
    return driver;
}
