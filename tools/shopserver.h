// Making a shop on a PostgreSQL server: the ten tables (from db/schema.sql, as pgschema.h
// renders them), the function val, the collation shoptext, and the roles of the tills and of
// the back office with their rights (serverrights.h).
#pragma once

#include "pgsession.h"
#include "serverroles.h"
#include "shopsteps.h"
#include "shopversion.h"

#include <QCommandLineOption>
#include <QString>

namespace shopserver {

// The locale the shop's texts sort by when none is given: the system's, as a BCP 47 name
// ("en-GB", "zh-Hant-TW"), or "und" (the root collation) when the system has none.
QString defaultLocale();
// The tools' --locale NAME, by default defaultLocale().
QCommandLineOption localeOption();

// The shop's tables (the ten, and those of every step) that exist in the schema the server
// creates in (the first of the search path), in the order they are made.
QStringList existingTables(pgtool::Session &db);

// Creates the tables, val() and the collation of `locale` (pgschema.h), the sale's function,
// the two roles when they are missing, and their rights, then the steps up to `version` (the
// newest unless told), in the transaction the caller has begun. Throws DataError, changing
// nothing that the caller's rollback would not undo, when any of the shop's tables is there
// already.
void createSchema(pgtool::Session &db, const QString &locale,
                  int version = shopversion::newest(steps::all));

// Checks that the tables of the shop's version there have the shop's columns, in order and
// of their kinds, with their hidden columns, and returns the version; throws DataError saying
// what differs.
ShopVersion checkSchema(pgtool::Session &db);

} // namespace shopserver
