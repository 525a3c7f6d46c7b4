// The file's test of a row for the words of a search: quillmart_words(words, column, ...) is 1
// when each of the words (folded, one per line) lies within one of the columns folded alike
// (searchtext.h), else 0. One call per row folds each column once for all the words.
#pragma once

struct sqlite3;

namespace wordmatch {

inline constexpr const char *functionName = "quillmart_words";
// The words as the function takes them: one per line.
inline constexpr char separator = '\n';

void registerOn(sqlite3 *db);

} // namespace wordmatch
