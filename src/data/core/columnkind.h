// The kinds of value a column of the shop holds, as db/schema.sql declares them; every engine
// stores and shows each kind its own way.
#pragma once

#include <QString>

enum class ColumnKind { AutoNumber, Whole, Money, Date, Time, Text };

// Columns whose values are numbers: printed to the right and exported as number cells.
inline bool isNumberKind(ColumnKind kind) {
    return kind == ColumnKind::Money || kind == ColumnKind::Whole || kind == ColumnKind::AutoNumber;
}

namespace conv {
// Kind of a column from its declared type in db/schema.sql.
ColumnKind kindFromDeclaredType(const QString &declaredType, bool primaryKey);
} // namespace conv
