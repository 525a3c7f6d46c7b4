// The SQLite engine: the shop in one file on this computer.
#include "connection.h"
#include "engine.h"
#include "openfile.h"

#include "conversions.h"
#include "databaseerrors.h"
#include "dataerror.h"
#include "shophealth.h"
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

// Why the commit hook last turned a commit of this thread into a rollback, when the file
// was found damaged; empty when it was refused because the file has gone.
thread_local QString damagedFileRefusal;

// In WAL mode SQLite goes on committing into the -wal file of a shop file that has been
// deleted, moved or replaced, and that work would vanish when the program closes. A commit
// is turned into a rollback when the file is no longer where the connection opened it, and
// when the check at start has found the file damaged (it waits for that check).
int guardCommit(void *db) {
    auto *handle = static_cast<sqlite3 *>(db);
    int moved = 0;
    sqlite3_file_control(handle, "main", SQLITE_FCNTL_HAS_MOVED, &moved);
    damagedFileRefusal.clear();
    if (moved)
        return 1;
    damagedFileRefusal =
        shophealth::refusal(QString::fromUtf8(sqlite3_db_filename(handle, "main")));
    return damagedFileRefusal.isEmpty() ? 0 : 1;
}

QString operatorText(int code, const QString &engineText, const QString &path) {
    if (code == SQLITE_CONSTRAINT_COMMITHOOK && !damagedFileRefusal.isEmpty())
        return damagedFileRefusal;
    return dberror::operatorText(code, engineText, path);
}

QString describe(sqlite3 *db, int code, const QString &path) {
    const QString engineText = db != nullptr && (sqlite3_errcode(db) & 0xff) == (code & 0xff)
                                   ? QString::fromUtf8(sqlite3_errmsg(db))
                                   : QString::fromUtf8(sqlite3_errstr(code));
    return operatorText(code, engineText, path);
}

class FileStatement : public StatementEngine {
public:
    FileStatement(sqlite3 *db, sqlite3_stmt *stmt, const QString &path)
        : db_(db), stmt_(stmt), path_(path) {}
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
    sqlite3 *db_;
    sqlite3_stmt *stmt_;
    QString path_;
};

class FileConnection : public ConnectionEngine {
public:
    explicit FileConnection(const QString &path);
    ~FileConnection() override {
        if (db_ != nullptr)
            sqlite3_close_v2(db_);
    }
    std::unique_ptr<StatementEngine> prepare(const QString &sql) override;
    void exec(const QString &sql) override;
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
    sqlite3 *sqliteHandle() const override { return db_; }

private:
    QVariant scalar(const QString &sql);

    sqlite3 *db_ = nullptr;
    QString path_;
};

FileConnection::FileConnection(const QString &path) : path_(path) {
    if (!QFileInfo::exists(path))
        throw DataError(dberror::noShopFile(path));
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db_,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString why = describe(db_, rc, path);
        sqlite3_close(db_);
        db_ = nullptr;
        throw DataError(why);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, Connection::busyTimeout());
    sqlite3_commit_hook(db_, guardCommit, db_);
    TextOrder::registerOn(db_);
    sqlite3_create_function(db_, "val", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, sqlVal,
                            nullptr, nullptr);
    try {
        // A recorded sale must survive a power cut: sync on every commit.
        exec(QStringLiteral("PRAGMA synchronous=FULL"));
        // Reading the schema proves the file is a database, not just any file.
        auto check = prepare(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        check->step();
    } catch (const DataError &) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw; // already says what is wrong with the file, and names it
    }
}

std::unique_ptr<StatementEngine> FileConnection::prepare(const QString &sql) {
    sqlite3_stmt *stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int rc =
        sqlite3_prepare_v2(db_, utf8.constData(), static_cast<int>(utf8.size()), &stmt, nullptr);
    if (rc != SQLITE_OK)
        throw DataError(describe(db_, rc, path_));
    return std::make_unique<FileStatement>(db_, stmt, path_);
}

void FileConnection::exec(const QString &sql) {
    char *message = nullptr;
    const int rc = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const QString engineText =
            message != nullptr ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_free(message);
        throw DataError(operatorText(sqlite3_extended_errcode(db_), engineText, path_));
    }
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
        throw DataError(describe(db_, rc, path_));
}

bool FileStatement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const QString why = describe(db_, rc, path_);
    sqlite3_reset(stmt_);
    throw DataError(why);
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

std::unique_ptr<ConnectionEngine> engines::openFile(const QString &path) {
    return std::make_unique<FileConnection>(path);
}
