// The SQLite engine: the shop in one file on this computer.
#include "engine.h"
#include "openfile.h"

#include "commitgate.h"
#include "conversions.h"
#include "databaseerrors.h"
#include "dataerror.h"
#include "shopdatabase.h"
#include "textorder.h"

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

class FileConnection : public ConnectionEngine {
public:
    explicit FileConnection(const ShopDatabase &shop);
    ~FileConnection() override {
        if (db_ != nullptr)
            sqlite3_close_v2(db_);
    }
    std::unique_ptr<StatementEngine> prepare(const EngineSql &sql) override;
    void exec(const EngineSql &sql) override { exec(sql.sql); }
    void begin() override { exec(QStringLiteral("BEGIN IMMEDIATE")); }
    void commit() override { exec(QStringLiteral("COMMIT")); }
    void rollback() noexcept override {
        char *ignored = nullptr;
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, &ignored);
        sqlite3_free(ignored);
    }
    int changes() const override { return sqlite3_changes(db_); }
    bool inTransaction() const override { return sqlite3_get_autocommit(db_) == 0; }
    QString lastError() const override { return QString::fromUtf8(sqlite3_errmsg(db_)); }
    std::vector<TableColumn> columnsOf(const QString &table) override;
    EngineTraits traits() const override { return {}; }
    qint64 commits() const override { return commits_; }

    // The operator's text and kind for a failure with this result code; `engineText` is
    // SQLite's own (the connection's last message when empty and it fits the code).
    DataError failure(int code, const QString &engineText = QString()) const;

private:
    void exec(const QString &sql);
    // In WAL mode SQLite goes on committing into the -wal file of a shop file that has been
    // deleted, moved or replaced, and that work would vanish when the program closes. A
    // commit is turned into a rollback when the file is no longer where the connection
    // opened it, and when the check at start has found the file damaged (it waits for that
    // check).
    static int guardCommit(void *self);

    sqlite3 *db_ = nullptr;
    QString path_;
    std::shared_ptr<CommitGate> gate_;
    // Why the commit hook last turned a commit into a rollback, when the file was found
    // damaged; empty when it was refused because the file has gone.
    QString refusal_;
    qint64 commits_ = 0;
};

class FileStatement : public StatementEngine {
public:
    FileStatement(const FileConnection &connection, sqlite3_stmt *stmt)
        : conn_(connection), stmt_(stmt) {}
    ~FileStatement() override { sqlite3_finalize(stmt_); }
    void bind(int index, const QVariant &value) override;
    bool step() override;
    void reset() override {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    int columnCount() override { return sqlite3_column_count(stmt_); }
    QString columnName(int column) override {
        return QString::fromUtf8(sqlite3_column_name(stmt_, column));
    }
    QVariant value(int column) const override;
    QString declaredType(int column) override {
        return QString::fromUtf8(sqlite3_column_decltype(stmt_, column));
    }
    void readCells(int from, CellSink &sink) const override;

private:
    const FileConnection &conn_;
    sqlite3_stmt *stmt_;
};

int FileConnection::guardCommit(void *self) {
    auto *connection = static_cast<FileConnection *>(self);
    int moved = 0;
    sqlite3_file_control(connection->db_, "main", SQLITE_FCNTL_HAS_MOVED, &moved);
    connection->refusal_.clear();
    if (moved)
        return 1;
    connection->refusal_ = connection->gate_->refusal();
    if (!connection->refusal_.isEmpty())
        return 1;
    ++connection->commits_;
    return 0;
}

DataError FileConnection::failure(int code, const QString &engineText) const {
    if (code == SQLITE_CONSTRAINT_COMMITHOOK && !refusal_.isEmpty())
        return DataError(DataError::Kind::Damaged, refusal_);
    QString text = engineText;
    if (text.isEmpty())
        text = db_ != nullptr && (sqlite3_errcode(db_) & 0xff) == (code & 0xff)
                   ? QString::fromUtf8(sqlite3_errmsg(db_))
                   : QString::fromUtf8(sqlite3_errstr(code));
    return DataError(dberror::kindOf(code, path_), dberror::operatorText(code, text, path_));
}

FileConnection::FileConnection(const ShopDatabase &shop)
    : path_(shop.location()), gate_(shop.sharedCommitGate()) {
    if (!QFileInfo::exists(path_))
        throw DataError(DataError::Kind::Missing, dberror::noShopFile(path_));
    const int rc = sqlite3_open_v2(path_.toUtf8().constData(), &db_,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const DataError why = failure(rc);
        sqlite3_close(db_);
        db_ = nullptr;
        throw why;
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, shop.settings().busyTimeoutMs);
    sqlite3_commit_hook(db_, guardCommit, this);
    TextOrder::registerOn(db_);
    sqlite3_create_function(db_, "val", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, sqlVal,
                            nullptr, nullptr);
    try {
        // A recorded sale must survive a power cut: sync on every commit.
        exec(QStringLiteral("PRAGMA synchronous=FULL"));
        // Reading the schema proves the file is a database, not just any file.
        auto check =
            prepare(EngineSql{QStringLiteral("SELECT count(*) FROM sqlite_master"), {}, true});
        check->step();
    } catch (const DataError &) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw; // already says what is wrong with the file, and names it
    }
}

std::unique_ptr<StatementEngine> FileConnection::prepare(const EngineSql &sql) {
    sqlite3_stmt *stmt = nullptr;
    const QByteArray utf8 = sql.sql.toUtf8();
    const int rc =
        sqlite3_prepare_v2(db_, utf8.constData(), static_cast<int>(utf8.size()), &stmt, nullptr);
    if (rc != SQLITE_OK)
        throw failure(rc);
    return std::make_unique<FileStatement>(*this, stmt);
}

void FileConnection::exec(const QString &sql) {
    char *message = nullptr;
    const int rc = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const QString engineText =
            message != nullptr ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_free(message);
        throw failure(sqlite3_extended_errcode(db_), engineText);
    }
}

std::vector<TableColumn> FileConnection::columnsOf(const QString &table) {
    auto info = prepare(
        EngineSql{QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?)"), {}, true});
    info->bind(1, table);
    std::vector<TableColumn> columns;
    while (info->step()) {
        const bool key = info->value(2).toInt() != 0;
        columns.push_back({info->value(0).toString(),
                           conv::kindFromDeclaredType(info->value(1).toString(), key), key});
    }
    return columns;
}

void FileStatement::bind(int index, const QVariant &value) {
    int rc = SQLITE_OK;
    switch (storedAs(value)) {
    case StoredAs::Null:
        rc = sqlite3_bind_null(stmt_, index);
        break;
    case StoredAs::Whole:
        rc = sqlite3_bind_int64(stmt_, index, value.toLongLong());
        break;
    case StoredAs::Real:
        rc = sqlite3_bind_double(stmt_, index, value.toDouble());
        break;
    case StoredAs::Text: {
        const QByteArray utf8 = value.toString().toUtf8();
        rc = sqlite3_bind_text(stmt_, index, utf8.constData(), static_cast<int>(utf8.size()),
                               SQLITE_TRANSIENT);
    }
    }
    if (rc != SQLITE_OK)
        throw conn_.failure(rc);
}

bool FileStatement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const DataError why = conn_.failure(rc);
    sqlite3_reset(stmt_);
    throw why;
}

QVariant FileStatement::value(int column) const {
    switch (sqlite3_column_type(stmt_, column)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_column_int64(stmt_, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt_, column));
    case SQLITE_NULL:
        return QVariant();
    default:
        return QVariant(
            QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt_, column)),
                              sqlite3_column_bytes(stmt_, column)));
    }
}

void FileStatement::readCells(int from, CellSink &sink) const {
    const int columns = sqlite3_column_count(stmt_);
    for (int column = from; column < columns; ++column) {
        switch (sqlite3_column_type(stmt_, column)) {
        case SQLITE_INTEGER:
            sink.whole(sqlite3_column_int64(stmt_, column));
            break;
        case SQLITE_FLOAT:
            sink.real(sqlite3_column_double(stmt_, column));
            break;
        case SQLITE_NULL:
            sink.null();
            break;
        default: {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt_, column));
            sink.text(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)));
        }
        }
    }
}

} // namespace

std::unique_ptr<ConnectionEngine> engines::openFile(const ShopDatabase &shop) {
    return std::make_unique<FileConnection>(shop);
}
