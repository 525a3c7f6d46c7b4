// The start check on its worker thread.
#include "startcheck.h"

#include "shopbackups.h"
#include "shophealth.h"

#include <QCoreApplication>
#include <QThread>

StartCheck::StartCheck(const QString &databasePath, QObject *parent)
    : QObject(parent), databasePath_(databasePath) {}

StartCheck::~StartCheck() {
    wait();
}

void StartCheck::start() {
    if (thread_ != nullptr)
        return;
    shophealth::checking(databasePath_); // before the first screen can commit anything
    const QString path = databasePath_;
    thread_ = QThread::create([this, path] {
        const QString warning = ShopBackups(path).startWarning();
        shophealth::verdict(path, warning.isEmpty()
                                      ? QString()
                                      : QStringLiteral("This was not stored. ") + warning);
        QMetaObject::invokeMethod(
            this,
            [this, warning] {
                finished_ = true;
                if (!warning.isEmpty())
                    emit damaged(warning);
                emit finished(warning.isEmpty());
            },
            Qt::QueuedConnection);
    });
    thread_->start(QThread::LowPriority);
}

void StartCheck::wait() {
    if (thread_ == nullptr)
        return;
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    // The verdict is delivered now, also when the event loop has already ended.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}
