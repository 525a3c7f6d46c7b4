// The upgrade from the program: ask, take the backup, make the steps, say how it went.
#include "upgradecommand.h"

#include "backupscheduler.h"
#include "cancelled.h"
#include "clock.h"
#include "commitgate.h"
#include "connection.h"
#include "dataerror.h"
#include "mainwindow.h"
#include "messageboxes.h"
#include "shopfileupgrade.h"
#include "versioncheck.h"

#include <QFileInfo>
#include <QProgressDialog>

namespace {
// The shop takes no more writes, and the operator is told why.
void refuseWrites(const ShopDatabase &shop, const QString &reason, MessageBoxes &messages) {
    shop.commitGate().verdict(QStringLiteral("This was not stored. ") + reason);
    messages.inform(reason, MessageBoxes::Icon::Warning);
}
} // namespace

UpgradeCommand::UpgradeCommand(MainWindow &window, BackupScheduler &scheduler,
                               MessageBoxes &messages, const Clock &clock,
                               std::span<const StepDescription> steps)
    : QObject(&window), window_(window), scheduler_(scheduler), messages_(messages), clock_(clock),
      steps_(steps) {}

QString UpgradeCommand::path() const {
    return window_.context().shop.localFile().value_or(QString());
}

void UpgradeCommand::offerIfOlder(bool restored) {
    try {
        const ShopVersion version = shopfileupgrade::version(path(), steps_);
        if (!shopversion::writable(version)) {
            if (restored)
                refuseWrites(
                    window_.context().shop,
                    shopversion::readOnlyReason(version, QStringLiteral("The shop file ") + path()),
                    messages_);
        } else if (version.number < shopversion::newest(steps_)) {
            offer(version);
        }
    } catch (const DataError &) {
        // A file that cannot be read now: the check at start and the screens say why.
    }
}

void UpgradeCommand::run() {
    ShopVersion version;
    try {
        version = shopfileupgrade::version(path(), steps_);
    } catch (const DataError &error) {
        messages_.inform(error.description());
        return;
    }
    if (!shopversion::writable(version)) {
        messages_.inform(
            shopversion::readOnlyReason(version, QStringLiteral("The shop file ") + path()));
    } else if (version.number >= shopversion::newest(steps_)) {
        messages_.inform(QStringLiteral("The shop file %1 is of version %2, the newest this "
                                        "Quillmart knows: there is nothing to upgrade.")
                             .arg(path())
                             .arg(version.number));
    } else {
        offer(version);
    }
}

bool UpgradeCommand::offer(const ShopVersion &version) {
    QString changes;
    for (const StepDescription &step : shopversion::after(version.number, steps_))
        for (const char *change : step.changes)
            changes += QStringLiteral("\n• ") + QString::fromUtf8(change);
    const QString stem = QFileInfo(path()).completeBaseName();
    if (!messages_.confirm(
            QStringLiteral("The shop file %1 is of version %2; this Quillmart can bring it to "
                           "version %3:\n%4\n\nThe shop's own tables and every row in them stay "
                           "as they are. A backup of the shop is taken first (%5-before-upgrade-"
                           "… in the backups folder, listed by File > Restore a Backup) and kept "
                           "until the next upgrade.\n\nUpgrade the shop now? Without the "
                           "upgrade every screen works as before, and File > Upgrade the Shop… "
                           "does it later.")
                .arg(path())
                .arg(version.number)
                .arg(shopversion::newest(steps_))
                .arg(changes, stem)))
        return false;
    upgrade();
    return true;
}

void UpgradeCommand::upgrade() {
    scheduler_.disable(); // no backup of the day while the upgrade's own is taken
    QProgressDialog progress(QStringLiteral("Taking a backup of the shop first..."),
                             QStringLiteral("Cancel"), 0, 1000, &window_);
    progress.setObjectName(QStringLiteral("dlgUpgradeProgress"));
    progress.setWindowTitle(QStringLiteral("Quillmart"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    const int steps = static_cast<int>(steps_.size());
    try {
        const shopfileupgrade::Result result = shopfileupgrade::upgrade(
            path(), clock_.now(), steps_,
            [&progress](double done) {
                progress.setValue(static_cast<int>(done * 800));
                return !progress.wasCanceled();
            },
            [&progress, steps](shopupgrade::Stage stage, const StepDescription &step) {
                if (stage != shopupgrade::Stage::Begun)
                    return;
                // Once the backup is taken, a step is made whole or not at all: no stopping.
                progress.setCancelButton(nullptr);
                progress.setLabelText(
                    QStringLiteral("Upgrading the shop to version %1...").arg(step.version));
                progress.setValue(800 + 200 * (step.version - 1) / std::max(steps, 1));
            });
        progress.reset();
        messages_.inform(QStringLiteral("The shop file is now of version %1. The backup taken "
                                        "before the upgrade is %2.")
                             .arg(result.outcome.to)
                             .arg(result.backup));
    } catch (const Cancelled &) {
        messages_.inform(QStringLiteral("The shop was not upgraded."));
    } catch (const DataError &error) {
        progress.reset();
        messages_.inform(error.description(), MessageBoxes::Icon::Warning);
    }
    scheduler_.enable();
}

void UpgradeCommand::checkServer(const ShopDatabase &shop, MessageBoxes &messages) {
    QString refusal;
    try {
        Connection connection = shop.connect();
        const ShopVersion version = versioncheck::read(connection);
        if (!shopversion::writable(version))
            refusal = shopversion::readOnlyReason(
                version, QStringLiteral("The shop on the server (%1)").arg(shop.describe()));
    } catch (const DataError &error) {
        if (error.kind() != DataError::Kind::Damaged)
            return; // the screens say why the shop cannot be read
        refusal = QStringLiteral("The shop on the server (%1) is damaged (%2). Nothing more will "
                                 "be stored in it; its administrator restores it from a dump.")
                      .arg(shop.describe(), error.sentence());
    }
    if (!refusal.isEmpty())
        refuseWrites(shop, refusal, messages);
}
