// Converting the shop's values between the file and the server's COPY text, and the figures
// that check a copy.
#include "copyvalues.h"

#include "dataerror.h"

#include <QDate>
#include <QStringDecoder>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace copyvalues {

namespace {

const QDate kDayZero(2000, 1, 1);
// numeric(19,4) holds less than 10^15.
constexpr double kMoneyLimit = 1e15;

[[noreturn]] void refuse(const Place &place, const QString &value, const char *why) {
    throw DataError(QString("The table %1, row %2, column %3 holds %4, which %5. Correct it in "
                            "the shop file and copy again.")
                        .arg(place.table.fileName)
                        .arg(place.rowid)
                        .arg(place.column.fileName, value, why));
}

QString shown(sqlite3_stmt *row, int index) {
    if (sqlite3_column_type(row, index) == SQLITE_BLOB)
        return QString("binary data");
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(row, index)),
                          sqlite3_column_bytes(row, index));
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
void appendMoney(QByteArray &out, double value, const Place &place, sqlite3_stmt *row, int index,
                 ColumnFigure &figure) {
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
    // The same text in ten-thousandths: digits without the point.
    Sum units = 0;
    for (int i = 0; i < size; ++i) {
        if (text[i] >= '0' && text[i] <= '9')
            units = units * 10 + (text[i] - '0');
    }
    figure.sum += text[0] == '-' ? -units : units;
}

} // namespace

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

void appendFileValue(QByteArray &out, sqlite3_stmt *row, int index, const Place &place,
                     ColumnFigure &figure) {
    const int type = sqlite3_column_type(row, index);
    if (type == SQLITE_NULL) {
        out.append("\\N", 2);
        return;
    }
    ++figure.values;
    switch (place.column.kind) {
    case ServerKind::AutoNumber:
    case ServerKind::Whole: {
        long long whole = 0;
        if (type == SQLITE_INTEGER) {
            whole = sqlite3_column_int64(row, index);
        } else if (type == SQLITE_FLOAT) {
            const double value = sqlite3_column_double(row, index);
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
    case ServerKind::Money:
        if (type != SQLITE_INTEGER && type != SQLITE_FLOAT)
            refuse(place, shown(row, index), "is not an amount of money");
        appendMoney(out, sqlite3_column_double(row, index), place, row, index, figure);
        return;
    case ServerKind::Date:
    case ServerKind::Time: {
        const bool isDate = place.column.kind == ServerKind::Date;
        const char *text = reinterpret_cast<const char *>(sqlite3_column_text(row, index));
        const int size = sqlite3_column_bytes(row, index);
        const QString value = QString::fromUtf8(text, size);
        if (type != SQLITE_TEXT || size != (isDate ? 10 : 8))
            refuse(place, shown(row, index),
                   isDate ? "is not a date (YYYY-MM-DD)" : "is not a time of day (HH:MM:SS)");
        if (isDate) {
            const QDate date = QDate::fromString(value, "yyyy-MM-dd");
            if (!date.isValid())
                refuse(place, shown(row, index), "is not a date (YYYY-MM-DD)");
            figure.sum += kDayZero.daysTo(date);
        } else {
            const QTime time = QTime::fromString(value, "HH:mm:ss");
            if (!time.isValid())
                refuse(place, shown(row, index), "is not a time of day (HH:MM:SS)");
            figure.sum += time.msecsSinceStartOfDay() / 1000;
        }
        out.append(text, size);
        return;
    }
    case ServerKind::Text: {
        if (type == SQLITE_BLOB)
            refuse(place, shown(row, index), "is not text");
        const char *text = reinterpret_cast<const char *>(sqlite3_column_text(row, index));
        const int size = sqlite3_column_bytes(row, index);
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

void bindServerValue(sqlite3_stmt *insert, int index, const char *field, int size,
                     ServerKind kind) {
    if (size == 2 && field[0] == '\\' && field[1] == 'N') {
        sqlite3_bind_null(insert, index);
        return;
    }
    const QByteArray raw(field, size);
    switch (kind) {
    case ServerKind::AutoNumber:
    case ServerKind::Whole:
        sqlite3_bind_int64(insert, index, std::strtoll(raw.constData(), nullptr, 10));
        return;
    case ServerKind::Money:
        sqlite3_bind_double(insert, index, std::strtod(raw.constData(), nullptr));
        return;
    case ServerKind::Date:
    case ServerKind::Time:
    case ServerKind::Text: {
        // COPY escapes the backslash and the control characters it writes as \b \f \n \r \t \v.
        QByteArray text;
        text.reserve(size);
        for (int i = 0; i < size; ++i) {
            char c = field[i];
            if (c == '\\' && i + 1 < size) {
                c = field[++i];
                switch (c) {
                case 'b':
                    c = '\b';
                    break;
                case 'f':
                    c = '\f';
                    break;
                case 'n':
                    c = '\n';
                    break;
                case 'r':
                    c = '\r';
                    break;
                case 't':
                    c = '\t';
                    break;
                case 'v':
                    c = '\v';
                    break;
                default:
                    break;
                }
            }
            text.append(c);
        }
        sqlite3_bind_text(insert, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        return;
    }
    }
}

QString serverFiguresSql(const ServerTable &table) {
    QStringList parts{"count(*)::text", "coalesce(sum(\"rowid\"), 0)::text"};
    for (const ServerColumn &column : table.columns) {
        const QString name = QString("\"%1\"").arg(column.name);
        QString number;
        switch (column.kind) {
        case ServerKind::AutoNumber:
        case ServerKind::Whole:
            number = name;
            break;
        case ServerKind::Money:
            number = name + " * 10000";
            break;
        case ServerKind::Date:
            number = name + " - date '2000-01-01'";
            break;
        case ServerKind::Time:
            number = QString("extract(epoch FROM %1)").arg(name);
            break;
        case ServerKind::Text:
            number = QString("char_length(%1)").arg(name);
            break;
        }
        parts << QString("count(%1)::text").arg(name)
              << QString("coalesce(sum(%1), 0)::numeric(40, 0)::text").arg(number);
    }
    return QString("SELECT %1 FROM \"%2\"").arg(parts.join(", "), table.name);
}

QString differences(const ServerTable &table, const TableFigures &source,
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
                         .arg(table.columns[i].fileName)
                         .arg(from.values);
        else if (from.sum != to.sum)
            found << QString("other values in %1 (sum %2, not %3)")
                         .arg(table.columns[i].fileName, toText(to.sum), toText(from.sum));
    }
    return found.isEmpty() ? QString() : QString("%1: %2").arg(table.fileName, found.join("; "));
}

} // namespace copyvalues
