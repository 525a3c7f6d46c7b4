// The backup at close, when one is needed.
#include "backupatclose.h"

#include "backupscheduler.h"
#include "cancelled.h"
#include "errorpolicy.h"

#include <QProgressDialog>

namespace backupatclose {

void run(BackupScheduler &scheduler, MessageBoxes &messages) {
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

} // namespace backupatclose
