// SQLite connection, statements and the transaction guard.
#include "connection.h"

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

int busyTimeoutMs = 15000;

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

} // namespace

Connection::Connection(const QString &path) : path_(path) {
    if (!QFileInfo::exists(path))
        throw DataError(dberror::missingFile(path));
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db_,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString why = describe(db_, rc, path);
        sqlite3_close(db_);
        db_ = nullptr;
        throw DataError(why);
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, busyTimeoutMs);
    sqlite3_commit_hook(db_, guardCommit, db_);
    TextOrder::registerOn(db_);
    sqlite3_create_function(db_, "val", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, sqlVal,
                            nullptr, nullptr);
    try {
        // A recorded sale must survive a power cut: sync on every commit.
        exec(QStringLiteral("PRAGMA synchronous=FULL"));
        // Reading the schema proves the file is a database, not just any file.
        scalar(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    } catch (const DataError &) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw; // already says what is wrong with the file, and names it
    }
}

void Connection::setBusyTimeout(int milliseconds) {
    busyTimeoutMs = milliseconds;
}

int Connection::busyTimeout() {
    return busyTimeoutMs;
}

Connection::~Connection() {
    if (db_ != nullptr)
        sqlite3_close_v2(db_);
}

Statement Connection::prepare(const QString &sql) {
    sqlite3_stmt *stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int rc =
        sqlite3_prepare_v2(db_, utf8.constData(), static_cast<int>(utf8.size()), &stmt, nullptr);
    if (rc != SQLITE_OK)
        throw DataError(describe(db_, rc, path_));
    return Statement(*this, stmt);
}

void Connection::exec(const QString &sql) {
    char *message = nullptr;
    const int rc = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const QString engineText =
            message != nullptr ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_free(message);
        const QString why = operatorText(sqlite3_extended_errcode(db_), engineText, path_);
        throw DataError(why);
    }
}

QVariant Connection::scalar(const QString &sql, const QVariantList &params) {
    Statement stmt = prepare(sql);
    stmt.bindAll(params);
    return stmt.step() ? stmt.value(0) : QVariant();
}

int Connection::changes() const {
    return sqlite3_changes(db_);
}
qint64 Connection::lastInsertRowid() const {
    return sqlite3_last_insert_rowid(db_);
}
bool Connection::inTransaction() const {
    return sqlite3_get_autocommit(db_) == 0;
}
QString Connection::lastError() const {
    return QString::fromUtf8(sqlite3_errmsg(db_));
}

Statement::Statement(Statement &&other) noexcept : conn_(other.conn_), stmt_(other.stmt_) {
    other.stmt_ = nullptr;
}

Statement &Statement::operator=(Statement &&other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        conn_ = other.conn_;
        stmt_ = other.stmt_;
        other.stmt_ = nullptr;
    }
    return *this;
}

Statement::~Statement() {
    sqlite3_finalize(stmt_);
}

void Statement::bind(int index, const QVariant &value) {
    int rc = SQLITE_OK;
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(stmt_, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(stmt_, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(stmt_, index, value.toDouble());
            break;
        default: {
            const QByteArray utf8 = value.toString().toUtf8();
            rc = sqlite3_bind_text(stmt_, index, utf8.constData(), static_cast<int>(utf8.size()),
                                   SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK)
        throw DataError(describe(conn_->handle(), rc, conn_->path()));
}

void Statement::bindAll(const QVariantList &values) {
    for (int i = 0; i < values.size(); ++i)
        bind(i + 1, values[i]);
}

bool Statement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const QString why = describe(conn_->handle(), rc, conn_->path());
    sqlite3_reset(stmt_);
    throw DataError(why);
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int Statement::columnCount() const {
    return sqlite3_column_count(stmt_);
}

QString Statement::columnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(stmt_, column));
}

QVariant Statement::value(int column) const {
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

Transaction::Transaction(Connection &connection) : conn_(connection) {
    conn_.exec(QStringLiteral("BEGIN IMMEDIATE"));
}

Transaction::~Transaction() {
    if (!done_) {
        char *ignored = nullptr;
        sqlite3_exec(conn_.handle(), "ROLLBACK", nullptr, nullptr, &ignored);
        sqlite3_free(ignored);
    }
}

void Transaction::commit() {
    conn_.exec(QStringLiteral("COMMIT"));
    done_ = true;
}
