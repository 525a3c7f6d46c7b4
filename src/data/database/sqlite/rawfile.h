// A database file opened straight through SQLite for checking, counting or copying (the
// backups' own connections, never a screen's); closed on every way out.
#pragma once

#include "databaseerrors.h"

#include <QFile>
#include <QString>
#include <sqlite3.h>

class RawFile {
public:
    RawFile(const QString &path, int flags) : path_(path) {
        rc_ = sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, flags, nullptr);
        if (db_ != nullptr) {
            sqlite3_extended_result_codes(db_, 1);
            sqlite3_busy_timeout(db_, 2000);
        }
    }
    ~RawFile() { sqlite3_close_v2(db_); }
    RawFile(const RawFile &) = delete;
    RawFile &operator=(const RawFile &) = delete;

    bool opened() const { return rc_ == SQLITE_OK; }
    int openCode() const { return rc_; }
    sqlite3 *handle() const { return db_; }
    QString failure(int code) const {
        const QString engineText = db_ != nullptr ? QString::fromUtf8(sqlite3_errmsg(db_))
                                                  : QString::fromUtf8(sqlite3_errstr(code));
        return dberror::operatorText(code, engineText, path_);
    }
    // The first column of the first row; -1 when the query fails.
    qint64 integer(const char *sql) const {
        sqlite3_stmt *stmt = nullptr;
        qint64 value = -1;
        if (sqlite3_prepare_v2(db_, sql, -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            value = sqlite3_column_int64(stmt, 0);
        sqlite3_finalize(stmt);
        return value;
    }

private:
    QString path_;
    sqlite3 *db_ = nullptr;
    int rc_ = SQLITE_OK;
};
