// A main window on a test shop: its own settings file, fake screens, a recorded help viewer.
#pragma once

#include "mainwindow.h"
#include "testsupport.h"

#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>

// A stand-in screen; one that refuses to close stands for a screen with unsaved work.
class FakeScreen : public QWidget {
public:
    explicit FakeScreen(const QString &title, bool refusesClose = false);
    bool refusesClose;

protected:
    void closeEvent(QCloseEvent *event) override;
};

struct ShellFixture {
    ShellFixture();
    // A fresh main window reading and writing the fixture's settings file.
    std::unique_ptr<MainWindow> makeWindow(const QString &helpFile = QString());
    // Registers a FakeScreen factory for each identifier; each build is counted.
    void addFakeScreens(MainWindow &window, const QStringList &ids);
    QSettings &settings() { return *settings_; }
    int builds = 0;
    QStringList viewerCalls;
    bool viewerResult = true;
    TestShop shop;

private:
    QTemporaryDir dir_;
    std::unique_ptr<QSettings> settings_;
};

// Sub-windows of the main window that are open (not closed and waiting to be deleted).
int openWindowCount(MainWindow &window);
