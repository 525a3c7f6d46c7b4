// The check of the shop file at start, on a thread of its own with its own connection, so
// that the main window shows at once. Until it has finished, commits into the file wait for
// it (the shop's commit gate); when it finds damage, every later commit is refused and
// `damaged` tells the operator which backup to restore. A shop of a version this program may
// not write (shopversion.h) is read but never written: every commit is refused, and
// `readOnly` says why.
#pragma once

#include "shopdatabase.h"

#include <QObject>
#include <QString>

class QThread;

class StartCheck : public QObject {
    Q_OBJECT
public:
    // `shop` is a shop file (localFile()).
    explicit StartCheck(ShopDatabase shop, QObject *parent = nullptr);
    ~StartCheck() override; // waits for the check to end
    void start();
    bool isFinished() const { return finished_; }
    // Blocks until the check has ended (tests; the end of the program).
    void wait();

signals:
    // In the owner's thread: the file is damaged; the text says so and names the backup.
    void damaged(const QString &warning);
    // In the owner's thread: the shop is of a version this program may only read.
    void readOnly(const QString &reason);
    // In the owner's thread: the check has ended (sound when nothing was found).
    void finished(bool sound);

private:
    // Why this program may not write the shop file; empty when it may.
    static QString readOnlyReason(const QString &path);

    ShopDatabase shop_;
    QThread *thread_ = nullptr;
    bool finished_ = false;
};
