// Creating a shop database file from db/schema.sql (read into shoptables.h), and the made-up demo
// catalogue that a new installation starts with.
#pragma once

#include "shopsteps.h"
#include "shopversion.h"

#include <QDate>
#include <QString>
#include <span>

namespace shopfile {

// Creates a new, empty shop database at the path (folders included), in WAL journal mode, of
// the newest version of the steps, or of an earlier one (1: the ten tables alone). Throws
// DataError when a file already exists there; never overwrites one.
void create(const QString &path, std::span<const StepDescription> steps = steps::all);
void create(const QString &path, int version, std::span<const StepDescription> steps = steps::all);

// True when something (a file, a folder, even a dangling link) already has the name: no new
// shop is made there.
bool occupied(const QString &path);

enum class Contents { Empty, Demo };

// Makes a new shop at the path: an empty one, or one holding the demo catalogue dated around
// `today`. Never overwrites: throws DataError when the path is occupied. A shop that cannot be
// filled is taken away again, so that no half-made file is left behind (the message says so).
// Of the newest version, or of an earlier one.
void makeShop(const QString &path, Contents contents, const QDate &today,
              int version = shopversion::newest(steps::all));

// Adds the demo catalogue to an empty shop database: titles (books and CDs), subjects,
// publishers, suppliers, offers around `today`, open and paid bills, and a few weeks of
// sales up to `today`. Throws DataError.
void loadDemoCatalogue(const QString &path, const QDate &today);

} // namespace shopfile
