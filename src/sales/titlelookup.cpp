// Finding a title by its ISBN as typed or in another form.
#include "titlelookup.h"

#include "isbnfinder.h"
#include "messageboxes.h"
#include "recordsource.h"
#include "shoptables.h"

namespace titlelookup {

QString notFoundMessage() {
    return QStringLiteral("Cannot Find The BOOK Title ,Please check if the ISBN is correct.");
}

bool find(RecordSource &titles, const QString &isbn, MessageBoxes &messages) {
    // The ISBN is bound, not written into the text: the same text for every lookup is read and
    // prepared once per connection.
    static const QString byIsbn =
        selectAll(tables::Titles::table, whereEqual(tables::Titles::ISBN, QStringLiteral("?1")));
    static const QString byBookNo =
        selectAll(tables::Titles::table, whereEqual(tables::Titles::BOOKNO, QStringLiteral("?1")));
    titles.open(byIsbn, {isbn});
    if (!titles.isEof())
        return true;
    // Only one title may hold it in another form.
    const std::vector<CatalogueMatch> matches = isbnfinder::otherForms(titles.connection(), isbn);
    if (matches.size() > 1) {
        messages.inform(isbnfinder::severalTitlesMessage(
            isbn, matches,
            QStringLiteral("Type the ISBN as the title you sell has it in the catalogue.")));
        return false;
    }
    if (matches.size() == 1)
        titles.open(byBookNo, {matches.front().bookNo});
    if (matches.empty() || titles.isEof()) {
        messages.inform(notFoundMessage());
        return false;
    }
    return true;
}

} // namespace titlelookup
