// The backup, then the steps.
#include "shopfileupgrade.h"

#include "dataerror.h"
#include "fileupgrade.h"
#include "shopbackups.h"

namespace shopfileupgrade {

ShopVersion version(const QString &path, std::span<const StepDescription> steps) {
    FileUpgrade file(path);
    return shopversion::read(file, steps);
}

Result upgrade(const QString &path, const QDateTime &when, std::span<const StepDescription> steps,
               const backupfile::Progress &backupProgress, const shopupgrade::Watch &watch) {
    const ShopVersion before = version(path, steps);
    if (before.number >= shopversion::newest(steps))
        return {{before.number, before.number}, QString()};
    if (!shopversion::writable(before))
        throw DataError(
            DataError::Kind::ReadOnly,
            shopversion::readOnlyReason(before, QStringLiteral("The shop file ") + path));
    Result result;
    try {
        result.backup = ShopBackups(path).take(when, backupProgress, BackupKind::BeforeUpgrade);
    } catch (const DataError &error) {
        throw DataError(error.kind(),
                        error.sentence() + QStringLiteral(" The shop was not upgraded; it is "
                                                          "still of version %1.")
                                               .arg(before.number));
    }
    FileUpgrade file(path);
    result.outcome = shopupgrade::upgrade(file, steps, when, watch);
    return result;
}

} // namespace shopfileupgrade
