// The commit gate: the start check's verdict, waited for by the connections' commits.
#include "commitgate.h"

#include <QDeadlineTimer>

void CommitGate::checking() {
    QMutexLocker lock(&mutex_);
    checking_ = true;
}

void CommitGate::verdict(const QString &refusal) {
    QMutexLocker lock(&mutex_);
    checking_ = false;
    refusal_ = refusal;
    decided_.wakeAll();
}

QString CommitGate::refusal() const {
    QMutexLocker lock(&mutex_);
    QDeadlineTimer deadline(longestWait_);
    while (checking_)
        if (!decided_.wait(&mutex_, deadline))
            return QString();
    return refusal_;
}
