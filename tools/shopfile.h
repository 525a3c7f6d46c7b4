// Creating a shop database file from db/schema.sql (compiled in), and the made-up demo
// catalogue that a new installation starts with.
#pragma once

#include <QDate>
#include <QString>

namespace shopfile {

// The schema text, as db/schema.sql holds it.
QString schemaSql();

// Creates a new, empty shop database at the path (folders included), in WAL journal mode.
// Throws DataError when a file already exists there; never overwrites one.
void create(const QString &path);

// Adds the demo catalogue to an empty shop database: titles (books and CDs), subjects,
// publishers, suppliers, offers around `today`, open and paid bills, and a few weeks of
// sales up to `today`. Throws DataError.
void loadDemoCatalogue(const QString &path, const QDate &today);

} // namespace shopfile
