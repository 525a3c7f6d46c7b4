// The start check on its worker thread.
#include "startcheck.h"

#include "commitgate.h"
#include "dataerror.h"
#include "shopbackups.h"
#include "shopfileupgrade.h"

#include <QCoreApplication>
#include <QThread>

StartCheck::StartCheck(ShopDatabase shop, QObject *parent)
    : QObject(parent), shop_(std::move(shop)) {}

StartCheck::~StartCheck() {
    wait();
}

QString StartCheck::readOnlyReason(const QString &path) {
    try {
        const ShopVersion version = shopfileupgrade::version(path);
        return shopversion::writable(version)
                   ? QString()
                   : shopversion::readOnlyReason(version, QStringLiteral("The shop file ") + path);
    } catch (const DataError &) {
        return QString(); // a file that cannot be read now: its screens say why
    }
}

void StartCheck::start() {
    if (thread_ != nullptr)
        return;
    std::shared_ptr<CommitGate> gate = shop_.sharedCommitGate();
    gate->checking(); // before the first screen can commit anything
    const QString path = shop_.localFile().value_or(QString());
    thread_ = QThread::create([this, path, gate] {
        const QString warning = ShopBackups(path).startWarning();
        const QString notWritable = warning.isEmpty() ? readOnlyReason(path) : QString();
        const QString refusal = warning.isEmpty() ? notWritable : warning;
        gate->verdict(refusal.isEmpty() ? QString()
                                        : QStringLiteral("This was not stored. ") + refusal);
        QMetaObject::invokeMethod(
            this,
            [this, warning, notWritable] {
                finished_ = true;
                if (!warning.isEmpty())
                    emit damaged(warning);
                if (!notWritable.isEmpty())
                    emit readOnly(notWritable);
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
