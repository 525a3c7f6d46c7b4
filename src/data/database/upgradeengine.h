// How an engine makes the steps of a shop's versions (stepdescription.h) and runs the
// statements that record the shop's version (shopupgrade.cpp writes them in its dialect): each
// step in a transaction of its own, which no other upgrade of the same shop runs beside. Each
// engine's driver gives its own (Driver::upgrader), on a session of its own: the program's
// connections and their commit gate are not involved.
#pragma once

#include "shopversion.h"

#include <QString>
#include <QVariantList>

class SqlDialect;

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
    // The engine's SQL (its names and parameters), and one statement of it run with `values`
    // bound in their order.
    virtual const SqlDialect &dialect() const = 0;
    virtual void run(const QString &sql, const QVariantList &values) = 0;
    virtual void commit() = 0;
    virtual void rollback() noexcept = 0;
};
