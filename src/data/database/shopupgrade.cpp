// The steps of an upgrade, one transaction each.
#include "shopupgrade.h"

#include "conversions.h"
#include "dataerror.h"
#include "sqlbuilder.h"
#include "sqldialect.h"

#include <algorithm>
#include <optional>

namespace shopupgrade {

namespace {

// The shop at this version, in the one row of its version table.
void recordVersion(UpgradeEngine &engine, const ShopVersion &version) {
    namespace V = tables::shopversion;
    const SqlDialect &sql = engine.dialect();
    engine.run(QStringLiteral("INSERT INTO %1 (%2, %3, %4) VALUES ('shop', %5, %6) ON CONFLICT "
                              "(%2) DO UPDATE SET %3 = excluded.%3, %4 = excluded.%4")
                   .arg(sql.name(QLatin1String(V::table)), sql.name(V::Shop), sql.name(V::Version),
                        sql.name(V::OldestWriter), sql.parameter(1), sql.parameter(2)),
               {version.number, version.oldestWriter.toString()});
}

// An upgrade as the shop records it, one row per step made: on the upgrading computer's clock,
// by this program ("1.1") as the engine's login.
void recordUpgrade(UpgradeEngine &engine, int from, int to, const QDateTime &when) {
    namespace U = tables::shopupgrades;
    const sqlb::Statement insert =
        sqlb::insert(QLatin1String(U::table),
                     {U::FromVersion, U::ToVersion, U::UpgradedAt, U::ProgramVersion, U::Login});
    engine.run(
        engine.dialect().render(insert).sql,
        {from, to, conv::isoMoment(when), shopversion::program().toString(), engine.login()});
}

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
            recordVersion(engine, {step.version, std::max(now.oldestWriter, writer)});
            if (when)
                recordUpgrade(engine, now.number, step.version, *when);
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
