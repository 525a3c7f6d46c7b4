// The shop file as the copying tools read and write it, straight on SQLite: a connection and
// its statements that close themselves, and failures as a DataError naming the file.
#pragma once

#include "dataerror.h"

#include <QString>
#include <sqlite3.h>

class SqliteFile {
public:
    SqliteFile(const QString &path, int flags) : path_(path) {
        if (sqlite3_open_v2(path.toUtf8().constData(), &db_, flags, nullptr) != SQLITE_OK) {
            const QString why = QString::fromUtf8(sqlite3_errmsg(db_));
            sqlite3_close(db_);
            throw DataError(QString("Cannot open the shop file %1: %2").arg(path, why));
        }
        sqlite3_busy_timeout(db_, 10000);
    }
    ~SqliteFile() { sqlite3_close(db_); }
    SqliteFile(const SqliteFile &) = delete;
    SqliteFile &operator=(const SqliteFile &) = delete;

    sqlite3 *raw() const { return db_; }
    const QString &path() const { return path_; }

    [[noreturn]] void fail(const QString &what) const {
        throw DataError(QString("%1 (the shop file %2): %3")
                            .arg(what, path_, QString::fromUtf8(sqlite3_errmsg(db_))));
    }
    void exec(const char *sql) {
        if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            fail(QString("Cannot run \"%1\"").arg(QString::fromUtf8(sql)));
    }

private:
    QString path_;
    sqlite3 *db_ = nullptr;
};

class SqliteStatement {
public:
    SqliteStatement(SqliteFile &file, const QString &sql) : file_(file) {
        if (sqlite3_prepare_v2(file.raw(), sql.toUtf8().constData(), -1, &stmt_, nullptr) !=
            SQLITE_OK)
            file.fail(QString("Cannot read \"%1\"").arg(sql));
    }
    ~SqliteStatement() { sqlite3_finalize(stmt_); }
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    sqlite3_stmt *raw() const { return stmt_; }
    // True while there is a row; throws on an error.
    bool step() {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            file_.fail("Cannot go on");
        return false;
    }
    void reset() { sqlite3_reset(stmt_); }

private:
    SqliteFile &file_;
    sqlite3_stmt *stmt_ = nullptr;
};
