// Backups while the program runs: when the operator has left the keyboard and mouse alone for
// a while and the shop has changed since the last backup (or today has none yet), a backup is
// taken on a low-priority thread, a few pages at a time; it pauses whenever the operator is
// busy again, and never holds up a sale (the file is in WAL mode: a reader never blocks a
// writer). At close, what is still not in a backup is saved by `takeNow`.
#pragma once

#include "backupfile.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <optional>

class Clock;
class SqliteFile;
class QThread;
class QTimer;

class BackupScheduler : public QObject {
    Q_OBJECT
public:
    BackupScheduler(const QString &databasePath, const Clock *clock, QObject *parent = nullptr);
    ~BackupScheduler() override; // stops a backup under way

    // Starts watching (after the start check found the file sound).
    void enable();
    // Stops a backup under way and watches no more until enabled again.
    void disable();
    // True when the shop holds work that no backup made by this session holds, or when
    // today has no backup at all.
    bool hasWorkToSave();
    // Takes a backup now, in the caller's thread; `progress` as for ShopBackups::take.
    // Returns its path; throws DataError.
    QString takeNow(const backupfile::Progress &progress);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void tick();
    void startBackup();
    void backupEnded();
    qint64 dataVersion();
    qint64 idleForMs() const;

    QString databasePath_;
    const Clock *clock_;
    QTimer *timer_;
    std::unique_ptr<SqliteFile> watcher_; // its data_version moves when anyone commits
    std::optional<qint64> savedVersion_;  // data_version when the last backup began
    qint64 lastStartMs_ = 0;
    // How long the operator must have been idle before a backup starts, and the least time
    // between two backups of one session.
    const int idleDelayMs_ = 60000;
    const int leastIntervalMs_ = 15 * 60000;
    bool enabled_ = false;
    QThread *thread_ = nullptr;
    std::atomic<bool> stop_{false};
    std::atomic<qint64> lastActivityMs_;
};
