// Whether commits into a shop may go ahead, as the check at start found it: while the check
// runs a commit waits for its verdict; once the shop is known to be damaged every commit is
// refused with the check's message, so that nothing more is written into a damaged file and
// what the operator typed stays on the screen. Every connection a ShopDatabase opens shares
// its one gate.
#pragma once

#include <QMutex>
#include <QString>
#include <QWaitCondition>
#include <chrono>

class CommitGate {
public:
    // A check that never ends (a disk that hangs) must not stop the shop for good: after
    // `longestWait` a waiting commit goes ahead.
    explicit CommitGate(std::chrono::milliseconds longestWait = std::chrono::minutes(2))
        : longestWait_(longestWait) {}
    CommitGate(const CommitGate &) = delete;
    CommitGate &operator=(const CommitGate &) = delete;

    // The check has begun: commits wait for its verdict.
    void checking();
    // The check's verdict: empty when writes may go on, else the message that refuses them.
    void verdict(const QString &refusal);
    // Empty when a commit may go ahead; waits while the shop is being checked.
    QString refusal() const;

private:
    const std::chrono::milliseconds longestWait_;
    mutable QMutex mutex_;
    mutable QWaitCondition decided_;
    bool checking_ = false;
    QString refusal_;
};
