// A till session's X or Z report in a window of its own: shown after the counter closes its
// session, and from the list of past sessions.
#pragma once

#include "tillsessions.h"

#include <QDialog>

class MessageBoxes;
class SessionReportView;

class SessionReportWindow : public QDialog {
    Q_OBJECT
public:
    SessionReportWindow(const SessionReport &report, const QDateTime &printed,
                        MessageBoxes &messages, QWidget *parent = nullptr);

    SessionReportView *view() const { return view_; }

private:
    SessionReportView *view_;
};
