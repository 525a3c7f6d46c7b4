// The shop's text order: the locale's collator, and a table of weights for plain ASCII text
// that gives the collator's answer without its cost.
#include "textorder.h"

#include <QMap>
#include <QStringList>
#include <algorithm>
#include <cstring>
#include <sqlite3.h>
#include <vector>

namespace {

QLocale readableLocale(const QLocale &locale) {
    return locale.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates)
                                           : locale;
}

// Keys kept for the texts beyond ASCII of one sort of a large catalogue, and no more.
constexpr std::size_t keptKeys = 50000;

int sign(int value) {
    return (value > 0) - (value < 0);
}

// Texts equal to the collator are ordered by their bytes, so that SQLite's sort is total.
int byBytes(const char *a, int aLength, const char *b, int bLength) {
    const int common = std::memcmp(a, b, static_cast<std::size_t>(std::min(aLength, bLength)));
    return common != 0 ? common : aLength - bLength;
}

int collate(void *order, int aLength, const void *a, int bLength, const void *b) {
    return (*static_cast<const std::shared_ptr<const TextOrder> *>(order))
        ->compareUtf8(static_cast<const char *>(a), aLength, static_cast<const char *>(b), bLength);
}

// One order per locale and thread: building the ASCII table costs a few milliseconds, and a
// collator is not shared between threads.
std::shared_ptr<const TextOrder> orderFor(const QLocale &locale) {
    thread_local QMap<QString, std::shared_ptr<const TextOrder>> orders;
    auto &order = orders[locale.name()];
    if (!order)
        order = std::make_shared<const TextOrder>(locale);
    return order;
}

} // namespace

TextOrder::TextOrder(const QLocale &locale) : collator_(readableLocale(locale)) {
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
    collator_.setNumericMode(false);
    collator_.setIgnorePunctuation(false);
    rankAscii();
    asciiByRank_ = ranksAgreeWithCollator();
}

void TextOrder::registerOn(sqlite3 *db) {
    // The connection holds its share of the order and lets go of it when it closes.
    auto *held = new std::shared_ptr<const TextOrder>(orderFor(QLocale()));
    sqlite3_create_collation_v2(db, collationName, SQLITE_UTF8, held, collate, [](void *order) {
        delete static_cast<std::shared_ptr<const TextOrder> *>(order);
    });
}

void TextOrder::rankAscii() {
    std::vector<char> letters;
    for (int c = 1; c < 128; ++c) {
        const QString text(QChar(static_cast<char16_t>(c)));
        if (collator_.compare(text, QString()) != 0)
            letters.push_back(static_cast<char>(c));
    }
    std::stable_sort(letters.begin(), letters.end(), [this](char x, char y) {
        return collator_.compare(QString(QChar::fromLatin1(x)), QString(QChar::fromLatin1(y))) < 0;
    });
    unsigned char rank = 0;
    for (std::size_t i = 0; i < letters.size(); ++i) {
        if (i == 0 || collator_.compare(QString(QChar::fromLatin1(letters[i - 1])),
                                        QString(QChar::fromLatin1(letters[i]))) != 0)
            ++rank;
        rank_[static_cast<unsigned char>(letters[i])] = rank;
    }
}

// The table is lexicographic over single characters. A locale that reads two letters as one
// ("ch" after "h", "aa" after "z") is caught here: the neighbours of such a pair in the
// table's order disagree with the collator, and its texts all go to the collator.
bool TextOrder::ranksAgreeWithCollator() const {
    QStringList texts;
    for (int x = 32; x < 127; ++x) {
        texts << QString(QChar(static_cast<char16_t>(x)));
        for (int y = 32; y < 127; ++y)
            texts << QString(QChar(static_cast<char16_t>(x))) + QChar(static_cast<char16_t>(y));
    }
    auto byRank = [this](const QString &x, const QString &y) {
        const QByteArray a = x.toLatin1(), b = y.toLatin1();
        bool decided = false;
        return compareByRank(a.constData(), static_cast<int>(a.size()), b.constData(),
                             static_cast<int>(b.size()), &decided);
    };
    std::sort(texts.begin(), texts.end(),
              [&](const QString &x, const QString &y) { return byRank(x, y) < 0; });
    for (qsizetype i = 1; i < texts.size(); ++i)
        if (sign(byRank(texts[i - 1], texts[i])) != sign(compare(texts[i - 1], texts[i])))
            return false;
    return true;
}

// Compares two ASCII texts by the table; *decided is false when a character beyond ASCII is
// met before the texts differ, and the collator must answer instead.
int TextOrder::compareByRank(const char *a, int aLength, const char *b, int bLength,
                             bool *decided) const {
    // An identical ASCII beginning reads alike: start where the bytes first differ.
    const int common = std::min(aLength, bLength);
    int i = 0;
    while (i < common && a[i] == b[i] && static_cast<unsigned char>(a[i]) < 128)
        ++i;
    int j = i;
    for (;;) {
        while (i < aLength && static_cast<unsigned char>(a[i]) < 128 &&
               rank_[static_cast<unsigned char>(a[i])] == 0)
            ++i;
        while (j < bLength && static_cast<unsigned char>(b[j]) < 128 &&
               rank_[static_cast<unsigned char>(b[j])] == 0)
            ++j;
        if ((i < aLength && static_cast<unsigned char>(a[i]) >= 128) ||
            (j < bLength && static_cast<unsigned char>(b[j]) >= 128)) {
            *decided = false;
            return 0;
        }
        if (i == aLength || j == bLength)
            break;
        const int difference =
            rank_[static_cast<unsigned char>(a[i])] - rank_[static_cast<unsigned char>(b[j])];
        if (difference != 0) {
            *decided = true;
            return difference;
        }
        ++i, ++j;
    }
    *decided = true;
    if (i == aLength && j == bLength)
        return byBytes(a, aLength, b, bLength);
    return i == aLength ? -1 : 1;
}

int TextOrder::compare(QStringView a, QStringView b) const {
    const int result = collator_.compare(a, b);
    if (result != 0)
        return result;
    const QByteArray x = a.toUtf8(), y = b.toUtf8();
    return byBytes(x.constData(), static_cast<int>(x.size()), y.constData(),
                   static_cast<int>(y.size()));
}

const QCollatorSortKey &TextOrder::keyOf(const char *text, int length) const {
    const std::string_view bytes(text, static_cast<std::size_t>(length));
    auto found = keys_.find(bytes);
    if (found != keys_.end())
        return found->second;
    if (keys_.size() >= keptKeys)
        keys_.clear();
    QCollatorSortKey key = collator_.sortKey(QString::fromUtf8(text, length));
    return keys_.emplace(std::string(bytes), std::move(key)).first->second;
}

int TextOrder::compareUtf8(const char *a, int aLength, const char *b, int bLength) const {
    if (asciiByRank_) {
        bool decided = false;
        const int result = compareByRank(a, aLength, b, bLength, &decided);
        if (decided)
            return result;
    }
    const QCollatorSortKey first = keyOf(a, aLength); // a copy: the second look may clear the keys
    const int result = first.compare(keyOf(b, bLength));
    return result != 0 ? result : byBytes(a, aLength, b, bLength);
}
