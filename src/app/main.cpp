// Starts Quillmart: the real services, the table of screens and the main window.
#include "allscreens.h"
#include "backupatclose.h"
#include "backupscheduler.h"
#include "clock.h"
#include "mainwindow.h"
#include "opendatabase.h"
#include "restorecommand.h"
#include "screenshottour.h"
#include "serverreach.h"
#include "shellpictures.h"
#include "shopbackups.h"
#include "shoplocation.h"
#include "shoppaths.h"
#include "startcheck.h"
#include "timingprobe.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <cstdio>
#include <memory>

namespace {
bool displayAvailable() {
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY") ||
           qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

// The installed document (a relative path is found from the folder above the program's
// bin); when the program runs from its build folder, the copy there.
QString helpFile() {
    const QString configured = QStringLiteral(QUILLMART_HELP_FILE);
    if (configured.isEmpty())
        return configured;
    const QString installed =
        QDir::isRelativePath(configured)
            ? QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../" + configured)
            : configured;
    const QString buildCopy = QStringLiteral(QUILLMART_BUILD_HELP_FILE);
    return QFileInfo::exists(installed) || buildCopy.isEmpty() ? installed : buildCopy;
}
// The shop on a server when the settings name one (a libpq connection string or service
// name; passwords stay in libpq's own files), else the file of this user.
QString shopLocation(QSettings &settings) {
    const QString server = settings.value(QStringLiteral("Shop/Server")).toString().trimmed();
    return server.isEmpty() ? defaultDatabasePath() : shoplocation::ofServer(server);
}
} // namespace

int main(int argc, char *argv[]) {
    if (!displayAvailable()) {
        std::fputs("quillmart: no display found; run it under a desktop session or with: "
                   "xvfb-run -a scripts/run\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Quillmart"));
    app.setWindowIcon(shellpictures::programIcon());
    // Ties the windows to the installed desktop entry, whose icon the task bar then shows.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quillmart.Quillmart"));

    const QString screenshotDir = qEnvironmentVariable("QUILLMART_SCREENSHOT_DIR");
    WidgetMessageBoxes boxes;
    ConsoleMessageBoxes console;
    SystemClock clock;
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quillmart"),
                       QStringLiteral("Quillmart"));
    const ShopContext context{
        shopLocation(settings),
        screenshotDir.isEmpty() ? static_cast<MessageBoxes *>(&boxes) : &console, &clock, nullptr};
    MainWindow window(context, settings, helpFile());
    boxes.setParent(&window);
    registerAllScreens(window.screens());
    window.show();
    if (!screenshotDir.isEmpty()) {
        for (const QString &file : screenshots::takeAll(window, screenshotDir))
            std::printf("%s\n", qPrintable(file));
        return 0;
    }
    if (shoplocation::isServer(context.databasePath)) {
        // The server keeps its own backups and checks; until it can be reached each screen
        // tells why it does not open.
        serverreach::untilReached(context.databasePath, boxes);
        return app.exec();
    }
    // While the program runs it holds this lock: quillmart-restore refuses to replace the
    // file under it.
    QLockFile running(context.databasePath + QStringLiteral(".lock"));
    running.setStaleLockTime(0); // held for hours: stale only when its process is gone
    running.tryLock(0);
    // The file is checked on a thread of its own while the window is already usable; until
    // the check is done a commit waits for it, and a damaged file takes no more writes.
    StartCheck check(context.databasePath);
    BackupScheduler backups(context.databasePath, &clock);
    QObject::connect(&check, &StartCheck::damaged, &window, [&boxes](const QString &warning) {
        boxes.inform(warning, MessageBoxes::Icon::Critical, QString());
    });
    bool sound = false;
    QObject::connect(&check, &StartCheck::finished, &window, [&backups, &sound](bool isSound) {
        sound = isSound;
        if (sound)
            backups.enable();
    });
    auto *restore = new RestoreCommand(window, backups, boxes, clock);
    QObject::connect(&window, &MainWindow::restoreChosen, restore, &RestoreCommand::run);
    std::unique_ptr<TimingProbe> probe;
    if (qEnvironmentVariableIsSet("QUILLMART_TIMING"))
        probe = std::make_unique<TimingProbe>(window, check);
    if (QFileInfo::exists(context.databasePath)) {
        check.start();
    } else { // a shop made later in this session (New Shop) is new: nothing to check
        sound = true;
        backups.enable();
    }
    const int status = app.exec();
    check.wait();
    if (status == 0 && sound && QFileInfo::exists(context.databasePath))
        backupatclose::run(backups, boxes);
    return status;
}
