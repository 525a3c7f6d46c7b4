// The start and close timing printed for bench/run.
#include "timingprobe.h"

#include "startcheck.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>

namespace {
qint64 realtimeNs() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}
} // namespace

TimingProbe::TimingProbe(QWidget &window, StartCheck &check) : window_(window), check_(check) {
    window.installEventFilter(this);
    connect(&check, &StartCheck::finished, this, [this] { closeWhenReady(); });
}

bool TimingProbe::eventFilter(QObject *, QEvent *event) {
    if (event->type() == QEvent::Paint && !painted_) {
        painted_ = true;
        std::printf("first-paint %lld\n", static_cast<long long>(realtimeNs()));
        QTimer::singleShot(0, this, [this] { closeWhenReady(); });
    }
    return false;
}

void TimingProbe::closeWhenReady() {
    if (!painted_ || !check_.isFinished() || closing_)
        return;
    closing_ = true;
    std::printf("close-begins %lld\n", static_cast<long long>(realtimeNs()));
    std::fflush(stdout);
    window_.close();
}
