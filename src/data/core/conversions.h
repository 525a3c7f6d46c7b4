// The kinds of value a column of the shop holds, as db/schema.sql declares them, and how values
// of each kind are stored, typed in and shown: the shop's date text ("2001/5/3"), the shortest
// decimal text of a number, and text-to-kind conversion. Every engine stores and shows each
// kind its own way.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QVariant>
#include <optional>

// Moment: a day and a time of day together (a receipt's, an upgrade's).
enum class ColumnKind { AutoNumber, Whole, Money, Date, Time, Moment, Text };

// Columns whose values are numbers: printed to the right and exported as number cells.
inline bool isNumberKind(ColumnKind kind) {
    return kind == ColumnKind::Money || kind == ColumnKind::Whole || kind == ColumnKind::AutoNumber;
}

namespace conv {

// Kind of a column from its declared type in db/schema.sql.
ColumnKind kindFromDeclaredType(const QString &declaredType, bool primaryKey);

// The shop's short date text: year/month/day without leading zeros, "2001/5/3".
QString dateText(const QDate &date);
// Reads "2001/5/3", "2001-05-03" (and a trailing time part is ignored). Invalid date if not.
QDate parseDate(const QString &text);
QString isoDate(const QDate &date);  // "2001-05-03": the stored form
QString timeText(const QTime &time); // "14:05:09": the stored and shown form
QTime parseTime(const QString &text);
// "2001-05-03 14:05:09": a moment's stored form, on the file as on a server.
QString isoMoment(const QDateTime &moment);
// Reads a moment as stored or as the shop shows it ("2001/5/3 14:05:09"). Invalid if not.
QDateTime parseMoment(const QString &text);
// "2001/5/3 14:05:09": a moment as the shop shows it.
QString momentText(const QDateTime &moment);

// Shortest decimal text of a number as the shop shows it: 37.5, 300, -2, 0.
QString numberText(double value);
// A number typed in the system's number format; nullopt when the text is not a number.
std::optional<double> parseNumber(const QString &text);
// A money amount typed: a number whose cents a double still holds exactly (at most 90
// trillion either way); nullopt otherwise, like a text that is not a number.
std::optional<double> parseMoney(const QString &text);
// The numeric value of the leading number of a text, 0 when there is none (like val()).
double leadingNumber(const QString &text);

// Converts a value assigned to a field of this kind into its stored form. Empty text and
// null become null. Throws DataError for text that does not convert ("Type mismatch ...").
QVariant toStorage(ColumnKind kind, const QVariant &value, const QString &fieldName);
// The text the operator sees for a stored value of this kind.
QString displayText(ColumnKind kind, const QVariant &stored);
// A stored or typed value read as a number, for screens that compute (null -> nullopt).
std::optional<double> toNumber(const QVariant &value);

} // namespace conv
