// The upgrade session of a shop on a PostgreSQL server: the shop's owner's session of the
// tools (pgtool::Session), each step's transaction held against every other upgrade of the
// same database by an advisory lock, so that a second upgrade waits and then finds the step
// made; the step rendered by pgschema::stepSql.
#pragma once

#include "pgsession.h"
#include "upgradeengine.h"

#include <memory>

class ServerUpgrade : public UpgradeEngine {
public:
    // Whose transactions the steps are made in: each its own, or the one the caller has begun
    // (a shop being made), which the caller commits or rolls back.
    enum class Transactions { Own, Callers };
    // On a session the caller keeps, or one of its own.
    explicit ServerUpgrade(pgtool::Session &session, Transactions transactions = Transactions::Own);
    explicit ServerUpgrade(std::unique_ptr<pgtool::Session> session);

    QString describe() const override;
    QString login() override;
    bool hasTable(const char *table) override;
    std::vector<VersionRow> versionRows() override;
    void begin() override;
    void apply(const StepDescription &step, bool upgrading) override;
    const SqlDialect &dialect() const override;
    void run(const QString &sql, const QVariantList &values) override;
    void commit() override;
    void rollback() noexcept override;

private:
    std::unique_ptr<pgtool::Session> own_;
    pgtool::Session &db_;
    Transactions transactions_ = Transactions::Own;
    bool inTransaction_ = false;
};
