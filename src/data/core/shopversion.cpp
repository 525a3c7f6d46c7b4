// The shop's version, read from its version table and checked.
#include "shopversion.h"

#include "dataerror.h"
#include "shopsteps.h"

#include <algorithm>

namespace shopversion {

namespace {

[[noreturn]] void damaged(const QString &problem) {
    throw DataError(DataError::Kind::Damaged, problem);
}

// "1.1" and the like: numbers and dots, nothing after.
QVersionNumber programVersion(const QString &text) {
    qsizetype end = 0;
    const QVersionNumber version = QVersionNumber::fromString(text, &end);
    return end == text.size() && !version.isNull() ? version : QVersionNumber();
}

} // namespace

QVersionNumber program() {
    return QVersionNumber::fromString(QStringLiteral(QUILLMART_VERSION));
}

int newest(std::span<const StepDescription> steps) {
    return steps.empty() ? 1 : steps.back().version;
}

std::span<const StepDescription> after(int from, std::span<const StepDescription> steps) {
    const auto first = std::find_if(steps.begin(), steps.end(),
                                    [from](const StepDescription &s) { return s.version > from; });
    return steps.subspan(static_cast<std::size_t>(first - steps.begin()));
}

std::vector<const TableDescription *> tablesOf(int version,
                                               std::span<const StepDescription> steps) {
    std::vector<const TableDescription *> all;
    for (const TableDescription &table : tables::all)
        all.push_back(&table);
    for (const StepDescription &step : steps)
        for (const StepTable &table : step.tables)
            if (step.version <= version)
                all.push_back(table.table);
    return all;
}

bool writable(const ShopVersion &version) {
    return version.oldestWriter.isNull() || version.oldestWriter <= program();
}

ShopVersion read(VersionSource &source, std::span<const StepDescription> steps) {
    namespace V = tables::shopversion;
    if (!source.hasTable(V::table))
        return {};
    const std::vector<VersionRow> rows = source.versionRows();
    if (rows.size() != 1)
        damaged(QStringLiteral("the version table %1 holds %2 rows, not one")
                    .arg(QLatin1String(V::table))
                    .arg(rows.size()));
    bool whole = false;
    ShopVersion version{rows.front().version.toInt(&whole),
                        programVersion(rows.front().oldestWriter)};
    if (!whole || version.number < 2)
        damaged(QStringLiteral("the version table %1 gives the version \"%2\"")
                    .arg(QLatin1String(V::table), rows.front().version));
    if (version.oldestWriter.isNull())
        damaged(QStringLiteral("the version table %1 gives \"%2\" as the oldest program "
                               "that may write to the shop")
                    .arg(QLatin1String(V::table), rows.front().oldestWriter));
    for (const StepDescription &step : steps) {
        if (step.version > version.number)
            break;
        for (const StepTable &table : step.tables)
            if (!source.hasTable(table.table->name))
                damaged(QStringLiteral("it is of version %1, but its table %2 is missing")
                            .arg(version.number)
                            .arg(QLatin1String(table.table->name)));
    }
    return version;
}

QString readOnlyReason(const ShopVersion &version, const QString &shop) {
    const QString needed = version.oldestWriter.toString();
    return QStringLiteral("%1 is of version %2, which Quillmart %3 or later may change; this is "
                          "Quillmart %4. Everything in it can be read here, but nothing can be "
                          "stored in it until this computer has Quillmart %3 or later.")
        .arg(shop)
        .arg(version.number)
        .arg(needed, program().toString());
}

QString upgradeFirst(int needed, int has, bool file) {
    return QStringLiteral("This needs the shop at version %1 or later, and it is at version %2. ")
               .arg(needed)
               .arg(has) +
           (file ? QStringLiteral("Choose File > Upgrade the Shop… to upgrade it; a backup is "
                                  "taken first.")
                 : QStringLiteral("The shop's administrator upgrades it on the server with "
                                  "quillmart-upgrade (README, \"Upgrading a shop\")."));
}

} // namespace shopversion
