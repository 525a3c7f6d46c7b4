// Converting the shop's values between the file and the server's COPY text, and the figures
// that check a copy.
#include "copyvalues.h"

#include "dataerror.h"
#include "pgschema.h"

#include <QDate>
#include <QDateTime>
#include <QStringDecoder>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace copyvalues {

namespace {

const QDate kDayZero(2000, 1, 1);
// numeric(19,4) holds less than 10^15.
constexpr double kMoneyLimit = 1e15;

// Where a value came from, for the message when it cannot be copied.
struct Place {
    const TableDescription &table;
    long long rowid;
    const Column &column;
};

[[noreturn]] void refuse(const Place &place, const QString &value, const char *why) {
    throw DataError(QString("The table %1, row %2, column %3 holds %4, which %5. Correct it in "
                            "the shop file and copy again.")
                        .arg(place.table.name)
                        .arg(place.rowid)
                        .arg(place.column.name, value, why));
}

QString shown(const SqliteStatement &row, int index) {
    if (row.type(index) == SqliteStatement::Type::Blob)
        return QString("binary data");
    const QString text = row.string(index);
    return '"' + (text.size() > 40 ? text.left(40) + "..." : text) + '"';
}

void appendText(QByteArray &out, const char *text, int size) {
    for (int i = 0; i < size; ++i) {
        const char c = text[i];
        switch (c) {
        case '\\':
            out.append("\\\\", 2);
            break;
        case '\n':
            out.append("\\n", 2);
            break;
        case '\r':
            out.append("\\r", 2);
            break;
        case '\t':
            out.append("\\t", 2);
            break;
        default:
            out.append(c);
        }
    }
}

// The control characters COPY's text format writes escaped, each after a backslash as the
// letter beside it.
constexpr char kEscapes[] = "\bb\ff\nn\rr\tt\vv";

bool isUtf8(const char *text, int size) {
    int ascii = 0;
    while (ascii < size && static_cast<unsigned char>(text[ascii]) < 0x80)
        ++ascii;
    if (ascii == size) // most of a shop's texts
        return true;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    // The decoder reads the bytes when its result is taken.
    const QString decoded = decoder.decode(QByteArrayView(text + ascii, size - ascii));
    return !decoder.hasError();
}

long long characters(const char *text, int size) {
    long long count = 0;
    for (int i = 0; i < size; ++i)
        count += (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
    return count;
}

// Money as the server keeps it: four places, as the program reads the stored double. A value
// whose four places are not the double itself, give or take its rounding (1e-5, 12.345678),
// has more places than the server keeps, and is refused rather than rounded.
void appendMoney(QByteArray &out, double value, const Place &place, const SqliteStatement &row,
                 int index, ColumnFigure &figure) {
    if (!std::isfinite(value) || std::fabs(value) >= kMoneyLimit)
        refuse(place, shown(row, index), "is not an amount of money the server can hold");
    char text[64];
    const int size = std::snprintf(text, sizeof text, "%.4f", value);
    const double kept = std::strtod(text, nullptr);
    const double larger = std::max(std::fabs(value), std::fabs(kept));
    if (std::fabs(kept - value) > 2 * (std::nextafter(larger, HUGE_VAL) - larger))
        refuse(place, shown(row, index),
               "has more decimal places than the four the server keeps for money");
    out.append(text, size);
    figure.sum += digitsOf({text, std::size_t(size)}); // the same text in ten-thousandths
}

constexpr qint64 kNotADayOrTime = std::numeric_limits<qint64>::min();

// A stored date, time or moment as the number its column's figure sums: days from 2000-01-01,
// seconds from midnight, or seconds from 2000-01-01 00:00:00. kNotADayOrTime for a value
// that is not in the stored form (2001-05-03, 14:05:09, 2001-05-03 14:05:09).
qint64 dayOrTime(ColumnKind kind, std::string_view bytes) {
    const QString value = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    if (kind == ColumnKind::Date) {
        const QDate date = QDate::fromString(value, "yyyy-MM-dd");
        return bytes.size() == 10 && date.isValid() ? kDayZero.daysTo(date) : kNotADayOrTime;
    }
    if (kind == ColumnKind::Time) {
        const QTime time = QTime::fromString(value, "HH:mm:ss");
        return bytes.size() == 8 && time.isValid() ? time.msecsSinceStartOfDay() / 1000
                                                   : kNotADayOrTime;
    }
    // Counted as if on a clock without summer time, as the server subtracts them.
    QDateTime moment = QDateTime::fromString(value, "yyyy-MM-dd HH:mm:ss");
    moment.setTimeSpec(Qt::UTC);
    return bytes.size() == 19 && moment.isValid()
               ? QDateTime(kDayZero, QTime(0, 0), Qt::UTC).secsTo(moment)
               : kNotADayOrTime;
}

const char *dayOrTimeForm(ColumnKind kind) {
    return kind == ColumnKind::Date   ? "is not a date (YYYY-MM-DD)"
           : kind == ColumnKind::Time ? "is not a time of day (HH:MM:SS)"
                                      : "is not a day and a time (YYYY-MM-DD HH:MM:SS)";
}

// Appends column `index` of the file's current row to `out` in COPY's text format and counts
// it in `figure`; refuses a value the server's column cannot take as it is.
void appendFileValue(QByteArray &out, const SqliteStatement &row, int index, const Place &place,
                     ColumnFigure &figure) {
    using Type = SqliteStatement::Type;
    const Type type = row.type(index);
    if (type == Type::Null) {
        out.append("\\N", 2);
        return;
    }
    ++figure.values;
    switch (place.column.kind) {
    case ColumnKind::AutoNumber:
    case ColumnKind::Whole: {
        long long whole = 0;
        if (type == Type::Whole) {
            whole = row.whole(index);
        } else if (type == Type::Real) {
            const double value = row.real(index);
            if (value != std::trunc(value) || std::fabs(value) > 3e9)
                refuse(place, shown(row, index), "is not a whole number");
            whole = static_cast<long long>(value);
        } else {
            refuse(place, shown(row, index), "is not a whole number");
        }
        if (whole < -2147483648LL || whole > 2147483647LL)
            refuse(place, shown(row, index), "is beyond the whole numbers the server holds");
        out.append(QByteArray::number(whole));
        figure.sum += whole;
        return;
    }
    case ColumnKind::Money:
        if (type != Type::Whole && type != Type::Real)
            refuse(place, shown(row, index), "is not an amount of money");
        appendMoney(out, row.real(index), place, row, index, figure);
        return;
    case ColumnKind::Date:
    case ColumnKind::Time:
    case ColumnKind::Moment: {
        const std::string_view bytes = row.text(index);
        const qint64 number =
            type == Type::Text ? dayOrTime(place.column.kind, bytes) : kNotADayOrTime;
        if (number == kNotADayOrTime)
            refuse(place, shown(row, index), dayOrTimeForm(place.column.kind));
        figure.sum += number;
        out.append(bytes.data(), qsizetype(bytes.size()));
        return;
    }
    case ColumnKind::Text: {
        if (type == Type::Blob)
            refuse(place, shown(row, index), "is not text");
        const std::string_view bytes = row.text(index);
        const char *text = bytes.data();
        const int size = int(bytes.size());
        if (std::memchr(text, 0, size))
            refuse(place, shown(row, index), "holds a NUL character, which the server refuses");
        if (!isUtf8(text, size))
            refuse(place, shown(row, index), "is not text in UTF-8, which the server refuses");
        appendText(out, text, size);
        figure.sum += characters(text, size);
        return;
    }
    }
}

QString toText(Sum sum) {
    if (sum == 0)
        return "0";
    const bool negative = sum < 0;
    QString digits;
    while (sum != 0) {
        const int digit = static_cast<int>(sum % 10);
        digits.prepend(QChar('0' + (negative ? -digit : digit)));
        sum /= 10;
    }
    return negative ? '-' + digits : digits;
}

} // namespace

Sum digitsOf(std::string_view text) {
    Sum value = 0;
    for (const char c : text)
        if (c >= '0' && c <= '9')
            value = value * 10 + (c - '0');
    return text.starts_with('-') ? -value : value;
}

QString fileRowsSql(const TableDescription &table) {
    QStringList names{"rowid"};
    for (const Column &column : table.columns)
        names << column.sql();
    return QString("SELECT %1 FROM [%2] ORDER BY rowid").arg(names.join(", "), table.name);
}

void appendFileRow(QByteArray &out, const SqliteStatement &row, const TableDescription &table,
                   TableFigures &figures) {
    const long long rowid = row.whole(0);
    ++figures.rows;
    figures.keys += rowid;
    figures.columns.resize(table.columns.size());
    if (table.autoNumber == nullptr) {
        out.append(QByteArray::number(rowid));
        out.append('\t');
    }
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        if (i > 0)
            out.append('\t');
        appendFileValue(out, row, int(i) + 1, {table, rowid, table.columns[i]}, figures.columns[i]);
    }
    out.append('\n');
}

TableFigures fileFigures(SqliteFile &file, const TableDescription &table) {
    TableFigures result;
    result.columns.resize(table.columns.size());
    SqliteStatement select(file, fileRowsSql(table));
    QByteArray scratch;
    while (select.step()) {
        scratch.clear();
        appendFileRow(scratch, select, table, result);
    }
    return result;
}

void bindServerValue(SqliteStatement &insert, int index, const char *field, int size,
                     ColumnKind kind) {
    if (size == 2 && field[0] == '\\' && field[1] == 'N')
        return insert.bind(index, QVariant());
    const QByteArray raw(field, size);
    switch (kind) {
    case ColumnKind::AutoNumber:
    case ColumnKind::Whole:
        return insert.bind(index, qlonglong(std::strtoll(raw.constData(), nullptr, 10)));
    case ColumnKind::Money:
        return insert.bind(index, std::strtod(raw.constData(), nullptr));
    case ColumnKind::Date:
    case ColumnKind::Time:
    case ColumnKind::Moment:
    case ColumnKind::Text: {
        // COPY escapes the backslash and the control characters it writes as \b \f \n \r \t \v.
        QByteArray text;
        text.reserve(size);
        for (int i = 0; i < size; ++i) {
            char c = field[i];
            if (c == '\\' && i + 1 < size) {
                c = field[++i];
                for (int e = 1; kEscapes[e] != '\0'; e += 2) {
                    if (kEscapes[e] == c)
                        c = kEscapes[e - 1];
                }
            }
            text.append(c);
        }
        return insert.bindText(index, {text.constData(), std::size_t(text.size())});
    }
    }
}

QString serverFiguresSql(const TableDescription &table) {
    QStringList parts{"count(*)::text", "coalesce(sum(\"rowid\"), 0)::text"};
    for (const Column &column : table.columns) {
        const QString name = pgschema::quoted(column.name);
        QString number;
        switch (column.kind) {
        case ColumnKind::AutoNumber:
        case ColumnKind::Whole:
            number = name;
            break;
        case ColumnKind::Money:
            number = name + " * 10000";
            break;
        case ColumnKind::Date:
            number = name + " - date '2000-01-01'";
            break;
        case ColumnKind::Time:
            number = QString("extract(epoch FROM %1)").arg(name);
            break;
        case ColumnKind::Moment:
            number = QString("extract(epoch FROM %1 - timestamp '2000-01-01')").arg(name);
            break;
        case ColumnKind::Text:
            number = QString("char_length(%1)").arg(name);
            break;
        }
        parts << QString("count(%1)::text").arg(name)
              << QString("coalesce(sum(%1), 0)::numeric(40, 0)::text").arg(number);
    }
    return QString("SELECT %1 FROM %2").arg(parts.join(", "), pgschema::quoted(table.name));
}

QString differences(const TableDescription &table, const TableFigures &source,
                    const TableFigures &target) {
    QStringList found;
    if (source.rows != target.rows)
        found << QString("%1 rows, not %2").arg(target.rows).arg(source.rows);
    if (source.keys != target.keys)
        found << "other row keys";
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        const ColumnFigure &from = source.columns.at(i);
        const ColumnFigure &to = target.columns.at(i);
        if (from.values != to.values)
            found << QString("%1 values in %2, not %3")
                         .arg(to.values)
                         .arg(table.columns[i].name)
                         .arg(from.values);
        else if (from.sum != to.sum)
            found << QString("other values in %1 (sum %2, not %3)")
                         .arg(table.columns[i].name, toText(to.sum), toText(from.sum));
    }
    return found.isEmpty() ? QString() : QString("%1: %2").arg(table.name, found.join("; "));
}

} // namespace copyvalues
