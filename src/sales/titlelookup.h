// The title an ISBN typed at the counter names: the catalogue's title with that ISBN as typed,
// else the one title that holds it in another form (ISBN-10 or ISBN-13, hyphens, blanks, a
// scanner's price add-on). The selling screen and the refund by ISBN find titles the same way.
#pragma once

#include <QString>

class MessageBoxes;
class RecordSource;

namespace titlelookup {

// The counter's words for an ISBN in no title.
QString notFoundMessage();
// Opens `titles` on the title; false, the operator told why, when no title or more than one
// holds the ISBN. Throws DataError when the catalogue cannot be read.
bool find(RecordSource &titles, const QString &isbn, MessageBoxes &messages);

} // namespace titlelookup
