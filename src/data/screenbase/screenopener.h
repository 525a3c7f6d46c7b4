// How a screen opens another one without knowing its class: by the other screen's
// identifier ("frmCreTitles", "dataRetail"), through the main window's table of screens.
#pragma once

#include <QString>

class QWidget;

class ScreenOpener {
public:
    virtual ~ScreenOpener() = default;
    // A fresh window of the screen each time. Returns the screen, or nullptr when it could
    // not be opened (the reason has been shown to the operator).
    virtual QWidget *openNew(const QString &screenId) = 0;
    // The one shared window of the screen: created on first use, brought forward after.
    virtual QWidget *openShared(const QString &screenId) = 0;
    // Closes a screen's window (its sub-window in the main window, or itself).
    virtual void close(QWidget *screen) = 0;
};
