// The one place where the database engine's failures become texts the operator can act on:
// a busy, read-only, full, missing or damaged shop database is named as such.
#pragma once

#include "dataerror.h"

#include <QString>

namespace dberror {

// A failure with this SQLite result code (extended codes welcome) as the code that catches it
// acts on it (its kind) and the operator reads it. Failures the operator cannot act on
// differently keep the engine's own text.
DataError failure(int resultCode, const QString &engineText, const QString &databasePath);

// "The shop database file is missing: <path>"
QString missingFile(const QString &databasePath);
// The same, when a screen finds no file to open: on a first start there is no shop yet, so
// the text says how to make one, and how to bring back one that was there.
QString noShopFile(const QString &databasePath);

} // namespace dberror
