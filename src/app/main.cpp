// Starts Quillmart: the real services, the table of screens and the main window.
#include "allscreens.h"
#include "backupscheduler.h"
#include "cancelled.h"
#include "clock.h"
#include "dataerror.h"
#include "mainwindow.h"
#include "opendatabase.h"
#include "orderlists.h"
#include "restorecommand.h"
#include "screenshottour.h"
#include "serverreach.h"
#include "shellpictures.h"
#include "shoppaths.h"
#include "shopsettings.h"
#include "startcheck.h"
#include "tillcopy.h"
#include "upgradecommand.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QProgressDialog>
#include <QSettings>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>

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

// Messages go to standard error, so that an unattended run never waits on a box.
class ConsoleMessageBoxes : public MessageBoxes {
public:
    void inform(const QString &text, Icon, const QString &title, const QString &details) override {
        std::fprintf(stderr, "%s: %s%s%s\n",
                     qPrintable(title.isEmpty() ? QStringLiteral("Quillmart") : title),
                     qPrintable(text), details.isEmpty() ? "" : "\n", qPrintable(details));
    }
    bool confirm(const QString &text, const QString &title, const QString &details) override {
        inform(text, Icon::None, title, details);
        return false; // nothing unattended is ever confirmed
    }
};

// At close: work that no backup holds yet is saved in one, with a progress window (and a
// button to skip it) when that takes more than a moment.
void backUpAtClose(BackupScheduler &scheduler, MessageBoxes &messages) {
    scheduler.disable(); // a backup under way while idle is not finished: this one replaces it
    if (!scheduler.hasWorkToSave())
        return;
    QProgressDialog progress(QStringLiteral("Making a backup of the shop..."),
                             QStringLiteral("Skip"), 0, 1000);
    progress.setWindowTitle(QStringLiteral("Quillmart"));
    progress.setMinimumDuration(700);
    try {
        scheduler.takeNow([&progress](double done) {
            progress.setValue(static_cast<int>(done * 1000));
            return !progress.wasCanceled();
        });
    } catch (const Cancelled &) {
        // The operator skipped it; the shop file itself is whole.
    } catch (const DataError &error) {
        progress.reset();
        messages.inform(error.description());
    }
}

qint64 realtimeNs() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
}

// For bench/run: with QUILLMART_TIMING set, the program prints the moment (CLOCK_REALTIME, in
// nanoseconds) of the main window's first paint ("first-paint N"), closes itself once the
// check at start is done and prints the moment the close began ("close-begins N").
class TimingProbe : public QObject {
public:
    TimingProbe(QWidget &window, StartCheck &check) : window_(window), check_(check) {
        window.installEventFilter(this);
        connect(&check, &StartCheck::finished, this, [this] { closeWhenReady(); });
    }

    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            std::printf("first-paint %lld\n", static_cast<long long>(realtimeNs()));
            QTimer::singleShot(0, this, [this] { closeWhenReady(); });
        }
        return false;
    }

private:
    void closeWhenReady() {
        if (!painted_ || !check_.isFinished() || closing_)
            return;
        closing_ = true;
        std::printf("close-begins %lld\n", static_cast<long long>(realtimeNs()));
        std::fflush(stdout);
        window_.close();
    }

    QWidget &window_;
    StartCheck &check_;
    bool painted_ = false;
    bool closing_ = false;
};
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
    // The shop on a server when the settings name one (a libpq connection string or service
    // name; passwords stay in libpq's own files), else the file of this user.
    const ShopSettings shop = shopsettings::read(settings, defaultDatabasePath());
    if (!shop.refusal.isEmpty()) {
        boxes.inform(shop.refusal, MessageBoxes::Icon::Critical, QString());
        return 1;
    }
    ShopContext context{drivers::open(shop.location),
                        screenshotDir.isEmpty() ? static_cast<MessageBoxes *>(&boxes) : &console,
                        &clock,
                        nullptr,
                        nullptr,
                        {}};
    // A till of a shop on a server keeps its own file beside where a shop file would be, named
    // after the server, so that its counter sells on while the server cannot be reached.
    if (!context.shop.localFile()) {
        try {
            context.tillCopy = std::make_shared<TillCopy>(TillCopy::fileFor(
                QFileInfo(defaultDatabasePath()).absolutePath(), context.shop.describe()));
        } catch (const DataError &error) {
            boxes.inform(QStringLiteral("%1 The counter stops selling whenever the shop's "
                                        "server cannot be reached.")
                             .arg(error.sentence()),
                         MessageBoxes::Icon::Warning, QString());
        }
    }
    MainWindow window(context, settings, helpFile());
    window.setTimeouts(shop.counterTimeout, shop.officeTimeout);
    boxes.setParent(&window);
    registerAllScreens(window.screens());
    window.show();
    if (!screenshotDir.isEmpty()) {
        for (const QString &file : screenshots::takeAll(window, screenshotDir))
            std::printf("%s\n", qPrintable(file));
        return 0;
    }
    const std::optional<QString> file = context.shop.localFile();
    if (!file) {
        // The server keeps its own backups and checks. Once it answers, who the program works
        // as is read from it; until then, or while it is worked as a login the program
        // refuses, each screen tells why it does not open.
        if (serverreach::untilReached(context.shop, boxes)) {
            UpgradeCommand::checkServer(context.shop, boxes);
            window.checkLogin();
            shop::wipeAtStart(context.shop, clock.today());
        }
        return app.exec();
    }
    // While the program runs it holds this lock: quillmart-restore refuses to replace the
    // file under it.
    QLockFile running(*file + QStringLiteral(".lock"));
    running.setStaleLockTime(0); // held for hours: stale only when its process is gone
    running.tryLock(0);
    // The file is checked on a thread of its own while the window is already usable; until
    // the check is done a commit waits for it, and a damaged file takes no more writes.
    StartCheck check(context.shop);
    BackupScheduler backups(*file, &clock);
    QObject::connect(&check, &StartCheck::damaged, &window, [&boxes](const QString &warning) {
        boxes.inform(warning, MessageBoxes::Icon::Critical, QString());
    });
    QObject::connect(&check, &StartCheck::readOnly, &window, [&boxes](const QString &reason) {
        boxes.inform(reason, MessageBoxes::Icon::Warning, QString());
    });
    auto *upgrade = new UpgradeCommand(window, backups, boxes, clock);
    QObject::connect(&window, &MainWindow::upgradeChosen, upgrade, &UpgradeCommand::run);
    bool sound = false;
    QObject::connect(&check, &StartCheck::finished, &window,
                     [&backups, &sound, upgrade, &context, &clock](bool isSound) {
                         sound = isSound;
                         if (sound) {
                             backups.enable();
                             upgrade->offerIfOlder(); // an older shop file: asked once at open
                             // Names of customers of long-finished orders go, once a day.
                             shop::wipeAtStart(context.shop, clock.today());
                         }
                     });
    auto *restore = new RestoreCommand(window, backups, boxes, clock);
    QObject::connect(&window, &MainWindow::restoreChosen, restore, &RestoreCommand::run);
    QObject::connect(restore, &RestoreCommand::restored, upgrade,
                     [upgrade] { upgrade->offerIfOlder(true); });
    std::unique_ptr<TimingProbe> probe;
    if (qEnvironmentVariableIsSet("QUILLMART_TIMING"))
        probe = std::make_unique<TimingProbe>(window, check);
    if (QFileInfo::exists(*file)) {
        check.start();
    } else { // a shop made later in this session (New Shop) is new: nothing to check
        sound = true;
        backups.enable();
    }
    const int status = app.exec();
    check.wait();
    if (status == 0 && sound && QFileInfo::exists(*file))
        backUpAtClose(backups, boxes);
    return status;
}
