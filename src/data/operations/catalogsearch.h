// "Do you have…?": the catalogue searched by the words of a title or an author, and by ISBN,
// as the operator types. Every word must be in the title, the author or the ISBN (any order,
// case and accents aside); an ISBN typed whole also finds the book under its other forms.
#pragma once

#include "sqldialect.h"

#include <QString>
#include <QVariantList>

class Connection;
class RecordSource;

namespace catalogsearch {

// Lines the list shows at most: more means the operator should type another word.
inline constexpr int listLimit = 200;

// The statement of a search and the values it binds.
struct Search {
    RecordSourceSql query;
    QVariantList values;
};
// The search for `typed`: ISBN, Title, Author, Sale Price and Qty of the matching titles, in
// the shop's order of titles; no row when nothing but blanks was typed. Throws DataError.
Search prepare(Connection &connection, const QString &typed, int limit = listLimit);

// Opens `list` on the search for `typed` (on its own connection). Throws DataError.
void open(RecordSource &list, const QString &typed, int limit = listLimit);

} // namespace catalogsearch
