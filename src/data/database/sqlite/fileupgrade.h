// The steps of the shop's versions in a shop file: each step rendered as SQLite's statements
// (tables with their rules, indexes, the step's own part for the file; rights are a server's),
// and the upgrade session of a shop file, which holds the file's write lock for each step.
#pragma once

#include "sqlitefile.h"
#include "stepdescription.h"
#include "upgradeengine.h"

#include <QString>

namespace filesteps {
// The version of the shop in the file (shopversion::read).
ShopVersion version(SqliteFile &file, std::span<const StepDescription> steps);
} // namespace filesteps

class FileUpgrade : public UpgradeEngine {
public:
    // Opens the existing shop file. Throws DataError.
    explicit FileUpgrade(const QString &path);

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
    QString path_;
    SqliteFile file_;
};
