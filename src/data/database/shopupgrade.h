// Upgrading a shop step by step: each step not yet made, in a transaction of its own together
// with the version's change and the record of the upgrade. A step is made only when the
// version read inside its transaction is older than the step, so that an upgrade stopped at
// any point (a crash, a SIGKILL, a power cut) leaves the shop at a version it had, whole, and
// is simply run again; and two upgrades at once make each step once.
#pragma once

#include "shopsteps.h"
#include "upgradeengine.h"

#include <QDateTime>
#include <functional>
#include <span>

namespace shopupgrade {

// Where a step's transaction stands.
enum class Stage {
    Begun, // the step is to be made: its transaction has begun and the version has been read
    Made,  // its tables are made and the version recorded, not yet committed
    Done,  // committed
};
// Told of each stage of each step made.
using Watch = std::function<void(Stage stage, const StepDescription &step)>;

struct Outcome {
    int from = 1; // the shop's version before
    int to = 1;   // and after: the same when nothing was to do
};

// Brings the shop to the newest of the steps, recording each step made as an upgrade made
// at `when` by this program as the engine's login. A shop this program may not write is not
// changed (DataError of kind ReadOnly), nor one whose version table is damaged (kind
// Damaged). Throws DataError; the steps committed before the failure stay made.
Outcome upgrade(UpgradeEngine &engine, std::span<const StepDescription> steps,
                const QDateTime &when, const Watch &watch = {});

// Makes the steps up to `version` in a shop that has only just been given the ten tables,
// recording no upgrade.
void makeSteps(UpgradeEngine &engine, std::span<const StepDescription> steps, int version);

} // namespace shopupgrade
