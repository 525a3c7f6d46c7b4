// How an engine makes the steps of a shop's versions (stepdescription.h) and records the
// shop's version: each step in a transaction of its own, which no other upgrade of the same
// shop runs beside. Each engine's driver gives its own (Driver::upgrader), on a session of
// its own: the program's connections and their commit gate are not involved.
#pragma once

#include "shopversion.h"

#include <QDateTime>
#include <QString>
#include <optional>

// An upgrade as the shop records it: one row per step made.
struct UpgradeRecord {
    int from = 1;
    int to = 1;
    QDateTime when;  // on the upgrading computer's clock
    QString program; // "1.1"
    QString login;
};

class UpgradeEngine : public VersionSource {
public:
    virtual ~UpgradeEngine() = default;
    // The shop, for messages: "the shop file /x/book1.mdb", "the database shop on backoffice".
    virtual QString describe() const = 0;
    // The login the shop is upgraded as.
    virtual QString login() = 0;
    // Begins a transaction no other upgrade of the shop runs beside: a second upgrade waits
    // here until the first has ended. Throws DataError.
    virtual void begin() = 0;
    // Makes the step's tables, indexes and rights, and the step's own part for this engine;
    // `upgrading` when an existing shop is upgraded (not made at this version).
    virtual void apply(const StepDescription &step, bool upgrading) = 0;
    // Records the shop at this version, and the upgrade when there is one (a new shop has
    // none).
    virtual void record(const ShopVersion &version,
                        const std::optional<UpgradeRecord> &upgrade) = 0;
    virtual void commit() = 0;
    virtual void rollback() noexcept = 0;
};
