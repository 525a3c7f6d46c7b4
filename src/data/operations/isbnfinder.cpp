// The other spellings of an ISBN are found by walking the ISBN index character by character:
// a spelling is followed only while some stored ISBN begins with it, so each step is one seek
// in the index and the walk never reads the titles that do not share the number.
#include "isbnfinder.h"

#include "connection.h"
#include "isbn.h"
#include "shoptables.h"

#include <QStringList>
#include <algorithm>

namespace {

namespace T = tables::Titles;

// Longer than any ISBN with a blank or hyphen between every digit.
constexpr qsizetype longestSpelling = 40;
const QString separators = QStringLiteral("- ");

class IndexWalk {
public:
    explicit IndexWalk(Connection &connection)
        : next_(connection.prepare(sqlb::select(T::table, {T::ISBN})
                                       .where(T::ISBN, sqlb::Compare::AtLeast)
                                       .orderBy(T::ISBN)
                                       .limitTo(1))) {}

    // Every stored ISBN made of these digits with separators before, between or after them.
    void collect(const QString &digits, QStringList &found) {
        digits_ = digits;
        found_ = &found;
        extend(QString(), 0);
    }

private:
    void extend(const QString &prefix, qsizetype used) {
        if (prefix.size() >= longestSpelling)
            return;
        QString choices;
        if (used < digits_.size()) {
            choices += digits_[used];
            if (digits_[used] == u'X')
                choices += u'x';
        }
        choices += separators;
        for (const QChar c : choices) {
            const QString spelling = prefix + c;
            const QString stored = smallestFrom(spelling);
            if (!stored.startsWith(spelling))
                continue; // no stored ISBN begins so
            const qsizetype nowUsed = used + (separators.contains(c) ? 0 : 1);
            if (nowUsed == digits_.size() && stored == spelling && !found_->contains(spelling))
                found_->append(spelling);
            extend(spelling, nowUsed);
        }
    }

    // The first stored ISBN at or after the text in the index's order; empty when none.
    QString smallestFrom(const QString &text) {
        next_.reset();
        next_.bind(1, text);
        return next_.step() ? next_.value(0).toString() : QString();
    }

    Statement next_;
    QString digits_;
    QStringList *found_ = nullptr;
};

} // namespace

namespace isbnfinder {

std::vector<CatalogueMatch> otherForms(Connection &connection, const QString &typed) {
    const auto reading = isbn::read(typed);
    if (!reading)
        return {};
    QStringList spellings;
    IndexWalk walk(connection);
    for (const QString &digits : isbn::sameBookDigits(*reading))
        walk.collect(digits, spellings);
    spellings.removeAll(typed);

    std::vector<CatalogueMatch> matches;
    Statement titles =
        connection.prepare(sqlb::select(T::table, {T::BOOKNO, T::ISBN, T::Title}).where(T::ISBN));
    for (const QString &spelling : spellings) {
        titles.reset();
        titles.bind(1, spelling);
        while (titles.step())
            matches.push_back({titles.value(0).toLongLong(), titles.value(1).toString(),
                               titles.value(2).toString()});
    }
    std::sort(matches.begin(), matches.end(),
              [](const CatalogueMatch &a, const CatalogueMatch &b) { return a.bookNo < b.bookNo; });
    return matches;
}

QString listing(const std::vector<CatalogueMatch> &matches) {
    QStringList lines;
    for (const CatalogueMatch &match : matches)
        lines << QStringLiteral("%1   %2   (BOOKNO %3)")
                     .arg(match.isbn, match.title, QString::number(match.bookNo));
    return lines.join(u'\n');
}

QString severalTitlesMessage(const QString &isbn, const std::vector<CatalogueMatch> &matches,
                             const QString &advice) {
    return QStringLiteral("The ISBN \"%1\" is not in the catalogue as typed, and %2 titles have "
                          "it in another form:\n\n%3\n\n%4")
        .arg(isbn, QString::number(matches.size()), listing(matches), advice);
}

} // namespace isbnfinder
