// Finding a book in the catalogue under another spelling of its ISBN, through the index on
// Titles.ISBN: the ISBN-10 or ISBN-13 of the same number, with or without hyphens or blanks.
#pragma once

#include <QString>
#include <vector>

class Connection;

struct CatalogueMatch {
    qint64 bookNo = 0;
    QString isbn; // as the catalogue holds it
    QString title;
};

namespace isbnfinder {

// The titles that hold the book of `typed` under an ISBN spelt otherwise than `typed`, in
// BOOKNO order; none when `typed` does not read as an ISBN. Throws DataError.
std::vector<CatalogueMatch> otherForms(Connection &connection, const QString &typed);

// One line per title, for a message: ISBN, title and BOOKNO.
QString listing(const std::vector<CatalogueMatch> &matches);
// The message for an ISBN that several titles hold in other forms: their listing, then
// `advice` on what the operator should do.
QString severalTitlesMessage(const QString &isbn, const std::vector<CatalogueMatch> &matches,
                             const QString &advice);

} // namespace isbnfinder
