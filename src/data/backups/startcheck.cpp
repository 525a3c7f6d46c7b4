// The start check on its worker thread.
#include "startcheck.h"

#include "commitgate.h"
#include "shopbackups.h"

#include <QCoreApplication>
#include <QThread>

StartCheck::StartCheck(ShopDatabase shop, QObject *parent)
    : QObject(parent), shop_(std::move(shop)) {}

StartCheck::~StartCheck() {
    wait();
}

void StartCheck::start() {
    if (thread_ != nullptr)
        return;
    std::shared_ptr<CommitGate> gate = shop_.sharedCommitGate();
    gate->checking(); // before the first screen can commit anything
    const QString path = shop_.localFile().value_or(QString());
    thread_ = QThread::create([this, path, gate] {
        const QString warning = ShopBackups(path).startWarning();
        gate->verdict(warning.isEmpty() ? QString()
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
