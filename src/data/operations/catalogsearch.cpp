// The catalogue search: the typed text split into folded words for the dialect's word search,
// and, when the text reads as an ISBN, the spellings of it the catalogue holds.
#include "catalogsearch.h"

#include "connection.h"
#include "isbnfinder.h"
#include "recordsource.h"
#include "searchtext.h"
#include "shoptables.h"
#include "sqldialect.h"

namespace catalogsearch {

namespace T = tables::Titles;

Search prepare(Connection &connection, const QString &typed, int limit) {
    const QStringList words = searchtext::words(typed);
    // An ISBN as typed, and in its other forms (hyphens, ISBN-10 or -13): those titles are
    // found through the ISBN index whatever the words find.
    QVariantList isbns;
    const QString trimmed = typed.trimmed();
    if (!trimmed.isEmpty()) {
        isbns << trimmed;
        for (const CatalogueMatch &match : isbnfinder::otherForms(connection, trimmed))
            if (!isbns.contains(match.isbn))
                isbns << match.isbn;
    }
    const SqlDialect &dialect = connection.dialect();
    const WordSearch search{.table = T::table,
                            .shown = {T::ISBN, T::Title, T::Author, T::SalePrice, T::Qty},
                            .searched = {T::Title, T::Author, T::ISBN},
                            .order = T::Title,
                            .exact = T::ISBN,
                            .exactValues = static_cast<int>(isbns.size()),
                            .limit = limit};
    return {dialect.wordSearch(search, static_cast<int>(words.size())),
            isbns + (words.isEmpty() ? QVariantList() : dialect.wordValues(words))};
}

void open(RecordSource &list, const QString &typed, int limit) {
    const Search search = prepare(list.readingConnection(), typed, limit);
    list.open(search.query, search.values);
}

} // namespace catalogsearch
