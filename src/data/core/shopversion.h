// The shop's version: 1 for the ten tables alone (a shop without the version table), and
// after that the version of the last step made (stepdescription.h). The shop also records
// the oldest program version that may write to it; an older program only reads it. One reader
// of the version table, whoever asks: a connection of the program or an upgrade's own.
#pragma once

#include "stepdescription.h"

#include <QString>
#include <QVersionNumber>
#include <span>
#include <vector>

struct ShopVersion {
    int number = 1;
    // The oldest program version that may write to the shop; null: any (version 1).
    QVersionNumber oldestWriter;
    bool operator==(const ShopVersion &) const = default;
};

// A row of the version table, as its texts.
struct VersionRow {
    QString version;
    QString oldestWriter;
};

// Where a shop's version is read from.
class VersionSource {
public:
    // Whether the shop has this table (any case of its name).
    virtual bool hasTable(const char *table) = 0;
    // The rows of the version table, which is there.
    virtual std::vector<VersionRow> versionRows() = 0;

protected:
    ~VersionSource() = default;
};

namespace shopversion {

// This program's version (1.2).
QVersionNumber program();
// The version a shop has once every one of the steps is made: 1 with none.
int newest(std::span<const StepDescription> steps);
// The steps that take a shop of version `from` to the newest, in order.
std::span<const StepDescription> after(int from, std::span<const StepDescription> steps);
// The shop's tables at `version`: the ten, then those of each step up to it, in the order they
// are made.
std::vector<const TableDescription *> tablesOf(int version, std::span<const StepDescription> steps);
// Whether this program may write to a shop of this version.
bool writable(const ShopVersion &version);

// The shop's version. Throws DataError of kind Damaged, its sentence saying what is wrong in
// words that follow "damaged (" ("the version table holds 2 rows"), when the version table is
// not one row of a version and a program version, or when a table of a step the version
// includes is missing.
ShopVersion read(VersionSource &source, std::span<const StepDescription> steps);

// Why this program writes nothing into the shop: which version it is and which program it
// needs. `shop` names it ("the shop file /x/book1.mdb").
QString readOnlyReason(const ShopVersion &version, const QString &shop);
// What a screen of a later version says on a shop of version `has`: it needs `needed`, and
// how the shop is upgraded (on this computer for a file, by the administrator on a server).
QString upgradeFirst(int needed, int has, bool file);

} // namespace shopversion
