// Reading ISBNs in their printed, typed and scanned forms, and their check digits.
#include "isbn.h"

#include <QRegularExpression>

namespace isbn {

namespace {

bool isSeparator(QChar c) {
    return c == u'-' || c.isSpace() || c == QChar(0x2010) || c == QChar(0x2011) ||
           c == QChar(0x2013);
}

// "ISBN", "ISBN:", "ISBN-13:", "isbn 10 " as printed in front of the number.
QString withoutLabel(const QString &text) {
    static const QRegularExpression label(QStringLiteral("^\\s*ISBN(?:[- ]?1[03])?\\s*:?"),
                                          QRegularExpression::CaseInsensitiveOption);
    return QString(text).remove(label);
}

} // namespace

QChar isbn10Check(QStringView nine) {
    int sum = 0;
    for (int i = 0; i < 9; ++i)
        sum += nine[i].digitValue() * (10 - i);
    const int check = (11 - sum % 11) % 11;
    return check == 10 ? QChar(u'X') : QChar(u'0' + check);
}

QChar ean13Check(QStringView twelve) {
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += twelve[i].digitValue() * (i % 2 == 0 ? 1 : 3);
    return QChar(u'0' + (10 - sum % 10) % 10);
}

std::optional<Reading> read(const QString &text) {
    QString digits;
    const QString body = withoutLabel(text);
    for (qsizetype i = 0; i < body.size(); ++i) {
        const QChar c = body[i];
        if (c >= u'0' && c <= u'9')
            digits += c;
        else if (c == u'X' || c == u'x')
            digits += u'X';
        else if (!isSeparator(c))
            return std::nullopt;
    }
    // A scanner appends the price add-on (2 or 5 digits) to the 13 digits of the barcode.
    if ((digits.size() == 15 || digits.size() == 18) && !digits.contains(u'X'))
        digits.truncate(13);
    Reading reading;
    if (digits.size() == 10 && !digits.left(9).contains(u'X')) {
        reading.expectedCheck = isbn10Check(QStringView(digits).left(9));
    } else if (digits.size() == 13 && !digits.contains(u'X')) {
        reading.expectedCheck = ean13Check(QStringView(digits).left(12));
    } else {
        return std::nullopt;
    }
    reading.digits = digits;
    return reading;
}

QString otherForm(const Reading &reading) {
    if (reading.isIsbn10()) {
        const QString twelve = QStringLiteral("978") + reading.digits.left(9);
        return twelve + ean13Check(twelve);
    }
    if (!reading.digits.startsWith(QStringLiteral("978")))
        return {};
    const QString nine = reading.digits.mid(3, 9);
    return nine + isbn10Check(nine);
}

QStringList sameBookDigits(const Reading &reading) {
    QStringList forms{reading.digits};
    // A wrong check digit means a digit is wrong somewhere: which book it is, nobody knows.
    if (reading.checkDigitValid())
        if (const QString other = otherForm(reading); !other.isEmpty())
            forms << other;
    return forms;
}

QString checkDigitProblem(const QString &typed, const Reading &reading) {
    if (reading.checkDigitValid())
        return {};
    const bool book = reading.digits.startsWith(QStringLiteral("978")) ||
                      reading.digits.startsWith(QStringLiteral("979"));
    const QString kind = reading.isIsbn10() ? QStringLiteral("nine digits, an ISBN-10")
                         : book             ? QStringLiteral("twelve digits, an ISBN-13")
                                            : QStringLiteral("twelve digits, an EAN-13 code");
    return QStringLiteral("The check digit of \"%1\" is wrong: after these first %2 ends in %3, "
                          "not %4. A digit may have been typed wrong.")
        .arg(typed, kind, reading.expectedCheck, reading.digits.back());
}

} // namespace isbn
