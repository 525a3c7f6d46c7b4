// Words typed into a search box, compared as a shop's customers and staff expect: capitals and
// small letters alike, an accented letter like its plain one ("emile" finds "Émile"), curly
// and straight apostrophes alike. Each character folds to exactly one character, so that a
// folded text is as long as the text and an engine can match a folded word by classes of
// characters (every character that folds to it) without folding what it stores.
#pragma once

#include <QString>
#include <QStringList>

namespace searchtext {

// The one character `c` is compared as.
QChar fold(QChar c);
// Every character folded alike.
QString fold(QStringView text);
// The characters that fold to `folded` (itself among them): "eEèéêëÈÉÊË..." for 'e'.
QString sameAs(QChar folded);
// The words of a typed text, folded, in the order typed, each once; blanks separate them.
QStringList words(const QString &typed);

} // namespace searchtext
