// The SQLite wrapper: the file, its statements, its online copy and quick check.
#include "sqlitefile.h"

#include "databaseerrors.h"
#include "engine.h"

#include <QFile>
#include <sqlite3.h>

namespace {

int openFlags(SqliteFile::Mode mode) {
    // Each connection is used by one thread at a time.
    switch (mode) {
    case SqliteFile::Mode::ReadOnly:
        return SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX;
    case SqliteFile::Mode::ReadWrite:
        return SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    case SqliteFile::Mode::Create:
        break;
    }
    return SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
}

} // namespace

SqliteFile::SqliteFile(const QString &path, Mode mode, int busyTimeoutMs) : path_(path) {
    const int rc =
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, openFlags(mode), nullptr);
    if (rc != SQLITE_OK) {
        const DataError why = failure(rc);
        sqlite3_close(db_);
        throw why;
    }
    sqlite3_extended_result_codes(db_, 1);
    setBusyTimeout(busyTimeoutMs);
    sqlite3_commit_hook(db_, guardCommit, this);
}

SqliteFile::~SqliteFile() {
    for (sqlite3_stmt *stmt : prepared_.takeAll())
        sqlite3_finalize(stmt);
    sqlite3_close_v2(db_);
}

void SqliteFile::keepPrepared(const QString &sql, sqlite3_stmt *stmt) {
    if (stmt == nullptr)
        return;
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    // Two statements of one text were open at once: the one kept before goes.
    if (const std::optional<sqlite3_stmt *> out = prepared_.keep(sql, stmt))
        sqlite3_finalize(*out);
}

int SqliteFile::guardCommit(void *self) {
    auto *file = static_cast<SqliteFile *>(self);
    file->refused_.clear();
    if (file->hasMoved())
        return 1;
    if (file->refusal_)
        file->refused_ = file->refusal_();
    if (!file->refused_.isEmpty())
        return 1;
    ++file->commits_;
    return 0;
}

DataError SqliteFile::failure(int code, const QString &engineText) const {
    if (code == SQLITE_CONSTRAINT_COMMITHOOK && !refused_.isEmpty())
        return DataError(DataError::Kind::Damaged, refused_);
    QString text = engineText;
    if (text.isEmpty())
        text = db_ != nullptr && (sqlite3_errcode(db_) & 0xff) == (code & 0xff)
                   ? lastError()
                   : QString::fromUtf8(sqlite3_errstr(code));
    return dberror::failure(code, text, path_);
}

void SqliteFile::exec(const QString &sql) {
    char *message = nullptr;
    const int rc = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const QString engineText =
            message != nullptr ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_free(message);
        throw failure(sqlite3_extended_errcode(db_), engineText);
    }
}

qint64 SqliteFile::integer(const QString &sql) {
    SqliteStatement statement(*this, sql);
    return statement.step() ? statement.whole(0) : 0;
}

int SqliteFile::changes() const {
    return sqlite3_changes(db_);
}

bool SqliteFile::inTransaction() const {
    return sqlite3_get_autocommit(db_) == 0;
}

void SqliteFile::setBusyTimeout(int milliseconds) {
    sqlite3_busy_timeout(db_, milliseconds);
}

bool SqliteFile::hasMoved() const {
    int moved = 0;
    sqlite3_file_control(db_, "main", SQLITE_FCNTL_HAS_MOVED, &moved);
    return moved != 0;
}

bool SqliteFile::leavesNothingBehind() {
    if (inTransaction() || sqlite3_db_name(db_, 2) != nullptr)
        return false;
    // Its own kept statements, reset, may stay; one still running, or held by a record set
    // that outlived its screen, may not.
    std::size_t statements = 0;
    for (sqlite3_stmt *s = sqlite3_next_stmt(db_, nullptr); s; s = sqlite3_next_stmt(db_, s)) {
        if (sqlite3_stmt_busy(s))
            return false;
        ++statements;
    }
    if (statements != prepared_.size())
        return false;
    try {
        return integer(QStringLiteral("SELECT count(*) FROM temp.sqlite_master")) == 0;
    } catch (const DataError &) {
        return false;
    }
}

void SqliteFile::releaseCache() {
    sqlite3_db_release_memory(db_);
}

QString SqliteFile::lastError() const {
    return QString::fromUtf8(sqlite3_errmsg(db_));
}

bool SqliteFile::backupTo(SqliteFile &target, int pagesPerStep,
                          const std::function<bool(double)> &progress) {
    // One read transaction for the whole copy: every step reads the same moment of the file,
    // whatever others commit meanwhile (they are not held up: the file is in WAL).
    exec(QStringLiteral("BEGIN; SELECT count(*) FROM sqlite_master"));
    sqlite3_backup *backup = sqlite3_backup_init(target.db_, "main", db_, "main");
    if (backup == nullptr)
        throw target.failure(sqlite3_extended_errcode(target.db_));
    int rc = SQLITE_OK;
    bool stopped = false;
    for (int busy = 0; busy < 100 && !stopped;) {
        rc = sqlite3_backup_step(backup, pagesPerStep);
        if (rc == SQLITE_DONE)
            break;
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            ++busy;
            sqlite3_sleep(50);
        } else if (rc != SQLITE_OK) {
            break;
        }
        const int total = sqlite3_backup_pagecount(backup);
        stopped = progress && !progress(total > 0 ? 1.0 - double(sqlite3_backup_remaining(backup)) /
                                                              double(total)
                                                  : 0);
    }
    sqlite3_backup_finish(backup);
    exec(QStringLiteral("COMMIT"));
    if (!stopped && rc != SQLITE_DONE)
        throw target.failure(rc);
    return !stopped;
}

QStringList SqliteFile::dropIndexes() {
    QStringList names, statements;
    {
        SqliteStatement list(*this, QStringLiteral("SELECT name, sql FROM sqlite_master WHERE "
                                                   "type = 'index' AND sql NOT NULL"));
        while (list.step()) {
            names << list.string(0);
            statements << list.string(1);
        }
    }
    for (const QString &name : names)
        exec(QStringLiteral("DROP INDEX [%1]").arg(name));
    return statements;
}

QString SqliteFile::quickCheck(const std::function<bool()> &goOn) {
    // A check of a large file takes seconds: whoever waits for it may stop it.
    bool stopped = false;
    std::function<int()> ask = [&] { return (stopped = goOn && !goOn()) ? 1 : 0; };
    sqlite3_progress_handler(
        db_, 100000, [](void *ask) { return (*static_cast<std::function<int()> *>(ask))(); }, &ask);
    const struct Done {
        sqlite3 *db;
        ~Done() { sqlite3_progress_handler(db, 0, nullptr, nullptr); }
    } done{db_};
    try {
        SqliteStatement check(*this, QStringLiteral("PRAGMA quick_check(1)"));
        return check.step() ? check.string(0) : QString();
    } catch (const DataError &) {
        if (stopped)
            return QString();
        throw;
    }
}

void SqliteFile::remove(const QString &path) {
    for (const char *suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
}

// A statement the file kept with this text is taken (sqlitefile.h: prepared_), not prepared anew.
SqliteStatement::SqliteStatement(SqliteFile &file, const QString &sql)
    : file_(file), sql_(sql), stmt_(file.prepared_.take(sql).value_or(nullptr)) {
    if (stmt_ != nullptr)
        return;
    const QByteArray utf8 = sql.toUtf8();
    check(sqlite3_prepare_v2(file.handle(), utf8.constData(), static_cast<int>(utf8.size()), &stmt_,
                             nullptr));
}

SqliteStatement::~SqliteStatement() {
    file_.keepPrepared(sql_, stmt_);
}

void SqliteStatement::check(int rc) const {
    if (rc != SQLITE_OK)
        throw file_.failure(rc);
}

void SqliteStatement::bind(int index, const QVariant &value) {
    switch (storedAs(value)) {
    case StoredAs::Null:
        return check(sqlite3_bind_null(stmt_, index));
    case StoredAs::Whole:
        return check(sqlite3_bind_int64(stmt_, index, value.toLongLong()));
    case StoredAs::Real:
        return check(sqlite3_bind_double(stmt_, index, value.toDouble()));
    case StoredAs::Text: {
        const QByteArray utf8 = value.toString().toUtf8();
        return bindText(index, {utf8.constData(), static_cast<std::size_t>(utf8.size())});
    }
    }
}

void SqliteStatement::bindText(int index, std::string_view utf8) {
    check(sqlite3_bind_text(stmt_, index, utf8.data(), static_cast<int>(utf8.size()),
                            SQLITE_TRANSIENT));
}

void SqliteStatement::bindKept(int index, std::string_view utf8) {
    check(
        sqlite3_bind_text(stmt_, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_STATIC));
}

bool SqliteStatement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const DataError why = file_.failure(rc);
    sqlite3_reset(stmt_);
    throw why;
}

void SqliteStatement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int SqliteStatement::columnCount() {
    return sqlite3_column_count(stmt_);
}

static_assert(int(SqliteStatement::Type::Whole) == SQLITE_INTEGER &&
              int(SqliteStatement::Type::Real) == SQLITE_FLOAT &&
              int(SqliteStatement::Type::Text) == SQLITE_TEXT &&
              int(SqliteStatement::Type::Blob) == SQLITE_BLOB &&
              int(SqliteStatement::Type::Null) == SQLITE_NULL);

SqliteStatement::Type SqliteStatement::type(int column) const {
    return static_cast<Type>(sqlite3_column_type(stmt_, column));
}

qint64 SqliteStatement::whole(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

double SqliteStatement::real(int column) const {
    return sqlite3_column_double(stmt_, column);
}

std::string_view SqliteStatement::text(int column) const {
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(stmt_, column));
    return {bytes, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column))};
}

QString SqliteStatement::string(int column) const {
    const std::string_view bytes = text(column);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QVariant SqliteStatement::value(int column) const {
    switch (type(column)) {
    case Type::Whole:
        return QVariant(static_cast<qlonglong>(whole(column)));
    case Type::Real:
        return QVariant(real(column));
    case Type::Null:
        return QVariant();
    default:
        return QVariant(string(column));
    }
}

void SqliteStatement::readCells(int from, CellSink &sink) const {
    const int columns = sqlite3_column_count(stmt_);
    for (int column = from; column < columns; ++column) {
        switch (type(column)) {
        case Type::Whole:
            sink.whole(whole(column));
            break;
        case Type::Real:
            sink.real(real(column));
            break;
        case Type::Null:
            sink.null();
            break;
        default: {
            const std::string_view bytes = text(column);
            sink.text(bytes.data(), bytes.size());
        }
        }
    }
}
