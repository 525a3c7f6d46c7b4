// Backups taken while the operator is idle, on a worker thread.
#include "backupscheduler.h"

#include "clock.h"
#include "dataerror.h"
#include "shopbackups.h"
#include "sqlitefile.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>
#include <QTimer>
#include <chrono>

namespace {

qint64 steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool isOperatorInput(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
        return true;
    default:
        return false;
    }
}

} // namespace

BackupScheduler::BackupScheduler(const QString &databasePath, const Clock *clock, QObject *parent)
    : QObject(parent), databasePath_(databasePath), clock_(clock), timer_(new QTimer(this)),
      lastActivityMs_(steadyMs()) {
    timer_->setInterval(5000);
    connect(timer_, &QTimer::timeout, this, &BackupScheduler::tick);
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->installEventFilter(this);
}

BackupScheduler::~BackupScheduler() {
    disable();
}

bool BackupScheduler::eventFilter(QObject *watched, QEvent *event) {
    if (isOperatorInput(event->type()))
        lastActivityMs_ = steadyMs();
    return QObject::eventFilter(watched, event);
}

qint64 BackupScheduler::idleForMs() const {
    return steadyMs() - lastActivityMs_;
}

void BackupScheduler::enable() {
    enabled_ = true;
    stop_ = false;
    // A backup taken today already holds the shop as this session found it (each session
    // saves its work at close), and so does the newest one when nothing has been written
    // since; otherwise the first idle moment makes one. A day without use adds no copy.
    try {
        const ShopBackups backups(databasePath_);
        if (backups.hasBackupOf(clock_->today()) || backups.unchangedSinceNewest())
            savedVersion_ = dataVersion();
    } catch (const DataError &) {
        savedVersion_.reset();
    }
    timer_->start();
}

void BackupScheduler::disable() {
    enabled_ = false;
    timer_->stop();
    stop_ = true;
    backupEnded();
    watcher_.reset(); // nothing of the program holds the file open when disabled
}

qint64 BackupScheduler::dataVersion() {
    if (!watcher_)
        watcher_ = std::make_unique<SqliteFile>(databasePath_, SqliteFile::Mode::ReadWrite,
                                                kBackupBusyTimeoutMs);
    return watcher_->integer(QStringLiteral("PRAGMA data_version"));
}

bool BackupScheduler::hasWorkToSave() {
    try {
        return !savedVersion_ || dataVersion() != *savedVersion_;
    } catch (const DataError &) {
        return false; // a file that cannot be read cannot be backed up either
    }
}

void BackupScheduler::tick() {
    if (!enabled_ || thread_ != nullptr || idleForMs() < idleDelayMs_)
        return;
    if (savedVersion_ && steadyMs() - lastStartMs_ < leastIntervalMs_)
        return;
    if (hasWorkToSave())
        startBackup();
}

void BackupScheduler::startBackup() {
    const qint64 version = dataVersion();
    lastStartMs_ = steadyMs();
    stop_ = false;
    const QDateTime when = clock_->now();
    const QString path = databasePath_;
    thread_ = QThread::create([this, path, when, version] {
        // A backup that fails (or is stopped) here is tried again at a later idle spell; the
        // one taken at close reports its failure.
        QString made;
        try {
            made = ShopBackups(path).take(when, [this](double) {
                // Steps go on only while the operator is idle.
                while (!stop_ && idleForMs() < 2000)
                    QThread::msleep(200);
                return !stop_;
            });
        } catch (const DataError &) {
        }
        QMetaObject::invokeMethod(
            this,
            [this, made, version] {
                if (!made.isEmpty())
                    savedVersion_ = version;
                backupEnded();
            },
            Qt::QueuedConnection);
    });
    thread_->start(QThread::IdlePriority);
}

void BackupScheduler::backupEnded() {
    if (thread_ != nullptr) {
        thread_->wait();
        delete thread_;
        thread_ = nullptr;
    }
}

QString BackupScheduler::takeNow(const backupfile::Progress &progress) {
    disable();
    const qint64 version = dataVersion();
    const QString made = ShopBackups(databasePath_).take(clock_->now(), progress);
    savedVersion_ = version;
    return made;
}
