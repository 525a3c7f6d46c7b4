// The steps of an upgrade, one transaction each.
#include "shopupgrade.h"

#include "dataerror.h"

#include <algorithm>
#include <optional>

namespace shopupgrade {

namespace {

Outcome run(UpgradeEngine &engine, std::span<const StepDescription> steps, int upTo,
            const std::optional<QDateTime> &when, const Watch &watch) {
    std::optional<Outcome> outcome;
    for (const StepDescription &step : steps) {
        if (step.version > upTo)
            break;
        engine.begin();
        try {
            const ShopVersion now = shopversion::read(engine, steps);
            if (!outcome)
                outcome = Outcome{now.number, now.number};
            if (!shopversion::writable(now))
                throw DataError(DataError::Kind::ReadOnly,
                                shopversion::readOnlyReason(now, engine.describe()));
            if (now.number >= step.version) { // made meanwhile by another upgrade
                engine.rollback();
                outcome->to = now.number;
                continue;
            }
            if (watch)
                watch(Stage::Begun, step);
            engine.apply(step, when.has_value());
            const QVersionNumber writer = QVersionNumber::fromString(step.oldestWriter);
            const ShopVersion made{step.version, std::max(now.oldestWriter, writer)};
            std::optional<UpgradeRecord> record;
            if (when)
                record = UpgradeRecord{now.number, step.version, *when,
                                       shopversion::program().toString(), engine.login()};
            engine.record(made, record);
            if (watch)
                watch(Stage::Made, step);
            engine.commit();
        } catch (...) {
            engine.rollback();
            throw;
        }
        outcome->to = step.version;
        if (watch)
            watch(Stage::Done, step);
    }
    if (!outcome) { // no step to make: the version as it is
        const int number = shopversion::read(engine, steps).number;
        outcome = Outcome{number, number};
    }
    return *outcome;
}

} // namespace

Outcome upgrade(UpgradeEngine &engine, std::span<const StepDescription> steps,
                const QDateTime &when, const Watch &watch) {
    return run(engine, steps, shopversion::newest(steps), when, watch);
}

void makeSteps(UpgradeEngine &engine, std::span<const StepDescription> steps, int version) {
    run(engine, steps, version, std::nullopt, {});
}

} // namespace shopupgrade
