// Making a shop on a PostgreSQL server: the ten tables (from db/schema.sql, as pgschema.h
// renders them), the function val, the collation shoptext, and the roles of the tills and of
// the back office with their rights (serverrights.h).
#pragma once

#include "pgsession.h"
#include "serverroles.h"

#include <QCommandLineOption>
#include <QString>

namespace shopserver {

// The locale the shop's texts sort by when none is given: the system's, as a BCP 47 name
// ("en-GB", "zh-Hant-TW"), or "und" (the root collation) when the system has none.
QString defaultLocale();
// The tools' --locale NAME, by default defaultLocale().
QCommandLineOption localeOption();

// The ten tables that exist in the schema the server creates in (the first of the search
// path), in db/schema.sql's order.
QStringList existingTables(pgtool::Session &db);

// Creates the tables, val() and the collation of `locale` (pgschema.h), the sale's function,
// the two roles when they are missing, and their rights, in the transaction the caller has
// begun. Throws DataError, changing nothing that the caller's rollback would not undo, when
// any of the ten tables is there already.
void createSchema(pgtool::Session &db, const QString &locale);

// Checks that the ten tables there have the shop's columns, in order and of their kinds, with
// their hidden columns; throws DataError saying what differs.
void checkSchema(pgtool::Session &db);

} // namespace shopserver
