// quillmart_words() over the catalogue: the words are read once per statement (kept with the
// bound value), and a column of plain ASCII, most of any shop's, is folded without leaving
// its UTF-8.
#include "wordmatch.h"

#include "searchtext.h"

#include <QString>
#include <sqlite3.h>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Words = std::vector<std::string>;

Words parse(sqlite3_value *value) {
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
    const std::string_view all(text ? text : "",
                               static_cast<std::size_t>(sqlite3_value_bytes(value)));
    Words words;
    std::size_t from = 0;
    while (from <= all.size()) {
        const std::size_t end = std::min(all.find(wordmatch::separator, from), all.size());
        if (end > from)
            words.emplace_back(all.substr(from, end - from));
        from = end + 1;
    }
    return words;
}

// Kept with the statement while the words are a bound value; SQLite may also let them go at
// once, and they are read anew for the row.
const Words &wordsOf(sqlite3_context *context, sqlite3_value *value) {
    if (auto *kept = static_cast<Words *>(sqlite3_get_auxdata(context, 0)))
        return *kept;
    sqlite3_set_auxdata(context, 0, new Words(parse(value)),
                        [](void *kept) { delete static_cast<Words *>(kept); });
    if (auto *kept = static_cast<Words *>(sqlite3_get_auxdata(context, 0)))
        return *kept;
    thread_local Words once;
    once = parse(value);
    return once;
}

void foldInto(sqlite3_value *value, std::string &folded) {
    folded.clear();
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
    const int length = sqlite3_value_bytes(value);
    if (text == nullptr)
        return;
    folded.resize(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x80) { // beyond ASCII: by the table
            folded = searchtext::fold(QString::fromUtf8(text, length)).toStdString();
            return;
        }
        folded[static_cast<std::size_t>(i)] =
            static_cast<char>(byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte);
    }
}

void sqlWords(sqlite3_context *context, int argc, sqlite3_value **argv) {
    if (argc < 1) {
        sqlite3_result_int(context, 0);
        return;
    }
    thread_local std::vector<std::string> columns;
    columns.resize(static_cast<std::size_t>(argc - 1));
    for (int i = 1; i < argc; ++i)
        foldInto(argv[i], columns[static_cast<std::size_t>(i - 1)]);
    for (const std::string &word : wordsOf(context, argv[0])) {
        bool found = false;
        for (const std::string &column : columns)
            if (column.find(word) != std::string::npos) {
                found = true;
                break;
            }
        if (!found) {
            sqlite3_result_int(context, 0);
            return;
        }
    }
    sqlite3_result_int(context, 1);
}

} // namespace

namespace wordmatch {

void registerOn(sqlite3 *db) {
    sqlite3_create_function(db, functionName, -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                            sqlWords, nullptr, nullptr);
}

} // namespace wordmatch
