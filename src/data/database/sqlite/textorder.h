// The order in which people read text: case ignored, an accented letter beside its base
// letter ("Émile" by "Emile"), Chinese in the locale's own order. Every connection knows it
// as the collation SHOPTEXT, and the query dialect asks for it in each ORDER BY of a text
// column. It lives only in queries: the file's tables and indexes never name it, so that any
// SQLite tool still reads the shop.
#pragma once

#include <QCollator>
#include <QLocale>
#include <QStringView>
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

struct sqlite3;

class TextOrder {
public:
    static constexpr const char *collationName = "SHOPTEXT";

    // The order of this locale (the default locale, normally the system's; the plain "C"
    // locale reads as English).
    explicit TextOrder(const QLocale &locale = QLocale());

    // Registers the collation on a connection, in the order of the default locale.
    static void registerOn(sqlite3 *db);

    // < 0, 0 or > 0. Texts that read alike ("Apple", "apple") are told apart by their
    // characters, so the order is the same every time.
    int compare(QStringView a, QStringView b) const;
    int compareUtf8(const char *a, int aLength, const char *b, int bLength) const;

private:
    void rankAscii();
    bool ranksAgreeWithCollator() const;
    int compareByRank(const char *a, int aLength, const char *b, int bLength, bool *decided) const;
    // The collator's key of a text, kept: a sort meets each text many times.
    const QCollatorSortKey &keyOf(const char *text, int length) const;

    QCollator collator_;
    std::array<unsigned char, 128> rank_{}; // 0: ignored, as a control character is
    // True when plain ASCII texts are compared by a table of the locale's weights, without
    // asking the collator (the locale makes no pairs of ASCII letters into one letter).
    bool asciiByRank_ = false;
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    mutable std::unordered_map<std::string, QCollatorSortKey, TextHash, std::equal_to<>> keys_;
};
