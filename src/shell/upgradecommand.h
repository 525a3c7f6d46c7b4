// Upgrading the shop from the program: File > Upgrade the Shop…, and the offer made when a
// shop file of an older version is opened or put back by a restore. The operator agrees
// first, being told what the upgrade brings and that a backup is taken first; the upgrade
// shows its progress. An operator who declines keeps working as before. A shop on a server is
// never upgraded by the program (the tills may not change tables): its administrator runs
// quillmart-upgrade. On a server the check of the shop's version at open is here too.
#pragma once

#include "shopsteps.h"
#include "shopversion.h"

#include <QObject>
#include <span>

class BackupScheduler;
class Clock;
class MainWindow;
class MessageBoxes;
class ShopDatabase;

class UpgradeCommand : public QObject {
    Q_OBJECT
public:
    UpgradeCommand(MainWindow &window, BackupScheduler &scheduler, MessageBoxes &messages,
                   const Clock &clock, std::span<const StepDescription> steps = steps::all);
    // The shop file opened, or a backup put in its place (`restored`): an older one is offered
    // the upgrade. A restored one of a version this program may not write takes no writes (the
    // operator is told why); at open the check at start tells it.
    void offerIfOlder(bool restored = false);
    // File > Upgrade the Shop… on a shop file.
    void run();

    // A shop on a server whose version table is damaged, or of a version this program may
    // not write, takes no writes from this program; the operator is told why.
    static void checkServer(const ShopDatabase &shop, MessageBoxes &messages);

private:
    QString path() const;
    // Asks, then upgrades; true when the shop was upgraded.
    bool offer(const ShopVersion &version);
    void upgrade();

    MainWindow &window_;
    BackupScheduler &scheduler_;
    MessageBoxes &messages_;
    const Clock &clock_;
    std::span<const StepDescription> steps_;
};
