// ISBNs in the forms a book carries them: ISBN-10 and ISBN-13 (EAN-13), with or without
// hyphens or blanks, a lower-case "x" check digit, a scanner's price add-on after the 13 digits.
// Pure text work: no database, no widgets.
#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <optional>

namespace isbn {

// What a typed or scanned text reads as.
struct Reading {
    QString digits;      // 10 characters (the last may be 'X') or 13 digits; no separators
    QChar expectedCheck; // the check digit these digits should end in
    bool checkDigitValid() const { return digits.back() == expectedCheck; }
    bool isIsbn10() const { return digits.size() == 10; }
};

// Reads an ISBN-10 or a 13-digit code written with hyphens or blanks anywhere, an optional
// "ISBN" label, a lower-case x, and a 2- or 5-digit add-on after 13 digits (dropped).
// Nothing when the text is not such a number (a shop's own code, a CD's catalogue number).
std::optional<Reading> read(const QString &text);

// Check digits: '0'..'9' or 'X' for the first nine digits of an ISBN-10; '0'..'9' for the
// first twelve of an ISBN-13 or any EAN-13.
QChar isbn10Check(QStringView nine);
QChar ean13Check(QStringView twelve);

// The same book number in its other form: an ISBN-10 becomes its 978 ISBN-13; a 978 ISBN-13
// becomes its ISBN-10; 979 numbers and other codes have no other form (empty).
QString otherForm(const Reading &reading);

// The digit strings (separators left out) under which the catalogue may hold the same book:
// the number as read and, when its check digit is right, its other form.
QStringList sameBookDigits(const Reading &reading);

// The check digit is wrong: a sentence that says so, for a warning; empty when it is right.
QString checkDigitProblem(const QString &typed, const Reading &reading);

} // namespace isbn
