// The one wrapper of SQLite: a shop file (or a backup's copy of one) as the program's
// connection, the backups and the tools open it, its statements, and every failure as a
// DataError of its kind with the text the operator reads, naming the file. A commit into a
// file that has been deleted, moved or replaced is refused (in WAL mode SQLite would go on
// writing into the -wal of a file nobody will open again).
#pragma once

#include "dataerror.h"
#include "engine.h"
#include "keptbytext.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// How long a write waits for another program's write lock before the file is reported busy:
// a backup tries again at the next idle moment; a tool is run by hand and may wait longer.
// (A screen's wait is the shop's setting, kScreenBusyTimeoutMs.)
inline constexpr int kBackupBusyTimeoutMs = 2000;
inline constexpr int kToolBusyTimeoutMs = 10000;

class SqliteFile {
public:
    // Create makes the file when it is not there; the others open only an existing one.
    enum class Mode { ReadOnly, ReadWrite, Create };

    // Throws DataError when the file cannot be opened.
    SqliteFile(const QString &path, Mode mode, int busyTimeoutMs = kToolBusyTimeoutMs);
    ~SqliteFile();
    SqliteFile(const SqliteFile &) = delete;
    SqliteFile &operator=(const SqliteFile &) = delete;

    // Runs one or more statements without results; throws DataError.
    void exec(const QString &sql);
    // The first column of the first row as a whole number (0 without a row); throws DataError.
    qint64 integer(const QString &sql);
    // Rows changed by the last INSERT, UPDATE or DELETE.
    int changes() const;
    bool inTransaction() const;
    // How long a write waits for another's write lock before the file is reported busy.
    void setBusyTimeout(int milliseconds);
    // Whether the file at the path it was opened by is another by now (or none).
    bool hasMoved() const;
    // Whether nothing on the connection would be seen by whoever uses it next: no
    // transaction, no statement but its own kept ones, no temporary table and no other file
    // attached.
    bool leavesNothingBehind();
    // Gives back the memory of the pages the connection holds (its schema stays read).
    void releaseCache();
    // SQLite's own text for the last failure ("file is not a database").
    QString lastError() const;
    // The failure with this result code as the operator reads it; `engineText` is SQLite's
    // own (the last failure's when it is of this code).
    DataError failure(int code, const QString &engineText = QString()) const;

    // Asked before every commit: a text refuses the commit (it becomes a rollback, failing
    // with that text as damage), none lets it through.
    void refuseCommitsWhen(std::function<QString()> refusal) { refusal_ = std::move(refusal); }
    // Commits that went through.
    qint64 commits() const { return commits_; }

    // Copies the whole file into `target` by SQLite's online backup, `pagesPerStep` pages at
    // a time, all from one moment of it however much others write meanwhile. `progress`
    // gets the part done (0 to 1) after each step; when it returns false the copy stops and
    // false is returned. Throws DataError.
    bool backupTo(SqliteFile &target, int pagesPerStep,
                  const std::function<bool(double)> &progress);
    // Drops the file's indexes and returns the statements that make them again: an index is
    // made far quicker once over all the rows of a bulk load than kept up row by row.
    QStringList dropIndexes();
    // SQLite's quick check: "ok", or the first problem it finds. `goOn` is asked now and
    // then; when it returns false the check stops and the text is empty. Throws DataError
    // when the file cannot be read at all.
    QString quickCheck(const std::function<bool()> &goOn);

    // For the shop file's driver, which registers its functions and text order on it.
    sqlite3 *handle() const { return db_; }

    // Removes a shop file with its journals.
    static void remove(const QString &path);

private:
    friend class SqliteStatement;
    static int guardCommit(void *self);
    // Keeps a statement done with for its text's next use, reset and its values unbound.
    void keepPrepared(const QString &sql, sqlite3_stmt *stmt);

    QString path_;
    sqlite3 *db_ = nullptr;
    // Preparing a statement costs more than running one of the counter's lookups, and a
    // screen runs the same few texts again and again. A kept statement is prepared again by
    // SQLite itself when the file's tables change.
    static constexpr std::size_t keptStatements = 32;
    KeptByText<sqlite3_stmt *> prepared_{keptStatements};
    std::function<QString()> refusal_;
    QString refused_; // why the last commit was refused; empty when the file had gone
    qint64 commits_ = 0;
};

// A statement of the file, which is also how the shop file's engine runs its statements.
class SqliteStatement : public StatementEngine {
public:
    // A value's type, numbered as SQLite numbers them.
    enum class Type { Whole = 1, Real, Text, Blob, Null };

    // Throws DataError when the statement cannot be prepared.
    SqliteStatement(SqliteFile &file, const QString &sql);
    ~SqliteStatement() override;
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    // Values bind by 1-based index and stay until reset(); a QVariant goes as its kind of
    // value is stored (engine.h). Text is copied, except by bindKept (a bulk insert's), whose
    // bytes must live until the row is written.
    void bind(int index, const QVariant &value) override;
    void bindText(int index, std::string_view utf8);
    void bindKept(int index, std::string_view utf8);
    // True while there is a row. Throws DataError, and the statement is ready to run again.
    bool step() override;
    // Ready to run again, with no values bound.
    void reset() override;

    int columnCount() override;
    Type type(int column) const;
    qint64 whole(int column) const;
    double real(int column) const;
    // The UTF-8 bytes of a text (or of a number as text), valid until the next step.
    std::string_view text(int column) const;
    QString string(int column) const;
    // Null, qlonglong, double or QString.
    QVariant value(int column) const override;
    void readCells(int from, CellSink &sink) const override;

private:
    void check(int rc) const;

    SqliteFile &file_;
    QString sql_; // under which the file keeps it when done
    sqlite3_stmt *stmt_ = nullptr;
};
