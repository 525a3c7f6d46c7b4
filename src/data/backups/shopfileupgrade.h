// Upgrading a shop file as the operator and quillmart-upgrade do it: the program's own
// compressed backup first, kept apart until the next upgrade, then each step in a transaction
// of its own (shopupgrade.h). A backup that cannot be written (a full disk) stops the upgrade
// before any step.
#pragma once

#include "backupfile.h"
#include "shopsteps.h"
#include "shopupgrade.h"

#include <QDateTime>
#include <QString>
#include <span>

namespace shopfileupgrade {

struct Result {
    shopupgrade::Outcome outcome;
    QString backup; // empty when there was nothing to upgrade
};

// The shop file's version, read on a session of its own. Throws DataError.
ShopVersion version(const QString &path, std::span<const StepDescription> steps = steps::all);

// Brings the shop file to the newest of the steps. Nothing is done to a shop that is at the
// newest version already; a shop this program may not write is refused (DataError of kind
// ReadOnly) before any backup. `backupProgress` follows the backup, `watch` the steps.
// Throws DataError: the shop is at the version of the last step committed, whole.
Result upgrade(const QString &path, const QDateTime &when,
               std::span<const StepDescription> steps = steps::all,
               const backupfile::Progress &backupProgress = {},
               const shopupgrade::Watch &watch = {});

} // namespace shopfileupgrade
