// The folding of characters for searches: worked out once from Unicode's own decompositions
// and case mappings over the scripts a shop's catalogue is written in, plus the few letters
// Unicode does not decompose (ø, ł, đ...).
#include "searchtext.h"

#include <QHash>
#include <array>
#include <string_view>

namespace {

// The letters of the European languages (Latin-1, Latin Extended-A), Greek and Cyrillic, and
// the quotation marks: every character here folds by the table; others only by their case. The
// ranges stay this narrow on purpose: a server tests a word letter by letter against the class
// of everything that folds to it, and classes of fifty letters (the Vietnamese ones) make that
// test slow and keep its index of trigrams from serving it.
constexpr std::array<std::pair<char16_t, char16_t>, 3> kRanges{
    {{0x0000, 0x017F}, {0x0370, 0x04FF}, {0x2018, 0x201F}}};

// Letters that are not a plain letter with a mark in Unicode, but that a reader takes for one,
// and the apostrophes: each of the first folds to the character at its place in the second.
constexpr std::u16string_view kTaken = u"øØłŁđĐħĦıŧŦ‘’‛";
constexpr std::u16string_view kTakenFor = u"oollddhhitt'''";
static_assert(kTaken.size() == kTakenFor.size());

// A character's letter without its marks, in small letters; a mark alone stays itself, so
// that every character keeps its one place.
QChar foldByUnicode(QChar c) {
    if (const std::size_t at = kTaken.find(c.unicode()); at != std::u16string_view::npos)
        return QChar(kTakenFor[at]);
    const QString decomposed = QString(c).normalized(QString::NormalizationForm_KD);
    if (decomposed.isEmpty() || decomposed.front().isMark())
        return c.toLower();
    const QChar base = decomposed.front();
    // A compatibility form that spells several letters (the ligature "ﬁ") keeps its own.
    for (qsizetype i = 1; i < decomposed.size(); ++i)
        if (!decomposed[i].isMark())
            return c.toLower();
    return base.toLower();
}

struct Table {
    std::array<char16_t, 0x10000> folded{};
    QHash<char16_t, QString> alike;

    Table() {
        for (std::size_t i = 0; i < folded.size(); ++i) {
            const QChar c(static_cast<char16_t>(i));
            if (inRanges(c)) {
                folded[i] = foldByUnicode(c).unicode();
                alike[folded[i]] += c;
            } else {
                // Outside the table a character is folded by its case alone.
                folded[i] = c.isSurrogate() ? c.unicode() : c.toLower().unicode();
            }
        }
    }
    static bool inRanges(QChar c) {
        for (const auto &[first, last] : kRanges)
            if (c.unicode() >= first && c.unicode() <= last)
                return true;
        return false;
    }
};

const Table &table() {
    static const Table instance;
    return instance;
}

} // namespace

namespace searchtext {

QChar fold(QChar c) {
    return QChar(table().folded[c.unicode()]);
}

QString fold(QStringView text) {
    QString result(text.size(), Qt::Uninitialized);
    const Table &t = table();
    for (qsizetype i = 0; i < text.size(); ++i)
        result[i] = QChar(t.folded[text[i].unicode()]);
    return result;
}

QString sameAs(QChar folded) {
    const Table &t = table();
    if (Table::inRanges(folded))
        return t.alike.value(folded.unicode(), QString(folded));
    QString result(folded);
    for (const QChar c : {folded.toUpper(), folded.toTitleCase()})
        if (!result.contains(c) && fold(c) == folded)
            result += c;
    return result;
}

QStringList words(const QString &typed) {
    QStringList result;
    for (const QString &word : typed.simplified().split(u' ', Qt::SkipEmptyParts)) {
        const QString folded = fold(word);
        if (!result.contains(folded))
            result << folded;
    }
    return result;
}

} // namespace searchtext
