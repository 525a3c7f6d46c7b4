// For bench/run: with QUILLMART_TIMING set, the program prints the moment (CLOCK_REALTIME, in
// nanoseconds) of the main window's first paint ("first-paint N"), closes itself once the
// check at start is done and prints the moment the close began ("close-begins N").
#pragma once

#include <QObject>

class QWidget;
class StartCheck;

class TimingProbe : public QObject {
public:
    TimingProbe(QWidget &window, StartCheck &check);
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void closeWhenReady();

    QWidget &window_;
    StartCheck &check_;
    bool painted_ = false;
    bool closing_ = false;
};
