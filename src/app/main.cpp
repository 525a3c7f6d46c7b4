// Starts Quillmart: the real services, the table of screens and the main window.
#include "accountingscreens.h"
#include "clock.h"
#include "errorpolicy.h"
#include "maintenancescreens.h"
#include "mainwindow.h"
#include "purchasingscreens.h"
#include "salesscreens.h"
#include "screenshottour.h"
#include "shellpictures.h"
#include "shopbackups.h"
#include "shoppaths.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <cstdio>

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
    const ShopContext context{
        defaultDatabasePath(),
        screenshotDir.isEmpty() ? static_cast<MessageBoxes *>(&boxes) : &console, &clock, nullptr};
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quillmart"),
                       QStringLiteral("Quillmart"));
    MainWindow window(context, settings, helpFile());
    boxes.setParent(&window);
    registerSalesScreens(window.screens());
    registerPurchasingScreens(window.screens());
    registerAccountingScreens(window.screens());
    registerMaintenanceScreens(window.screens());
    window.show();
    if (!screenshotDir.isEmpty()) {
        for (const QString &file : screenshots::takeAll(window, screenshotDir))
            std::printf("%s\n", qPrintable(file));
        return 0;
    }
    // A damaged file is named at once, with the backup to restore; a normal exit leaves a
    // fresh backup beside the file.
    const ShopBackups backups(context.databasePath);
    if (const QString warning = backups.startWarning(); !warning.isEmpty())
        boxes.inform(warning, MessageBoxes::Icon::Critical, QString());
    const int status = app.exec();
    if (status == 0 && QFileInfo::exists(context.databasePath))
        policy::reportOnError(boxes,
                              [&] { backups.take(QDateTime(clock.today(), clock.timeOfDay())); });
    return status;
}
