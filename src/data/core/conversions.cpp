// Conversions between typed text, stored values and shown text for each column kind.
#include "conversions.h"

#include "dataerror.h"
#include "money.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace conv {

namespace {
// Beyond this a double no longer holds every cent exactly (2^53 cents is about 90 trillion).
constexpr double largestMoney = 9.0e13;
} // namespace

ColumnKind kindFromDeclaredType(const QString &declaredType, bool primaryKey) {
    const QString type = declaredType.trimmed().toUpper();
    if (primaryKey && type.startsWith(QLatin1String("INTEGER")))
        return ColumnKind::AutoNumber;
    if (type.startsWith(QLatin1String("INT")))
        return ColumnKind::Whole;
    if (type == QLatin1String("MONEY") || type == QLatin1String("REAL") ||
        type == QLatin1String("DOUBLE") || type == QLatin1String("NUMERIC"))
        return ColumnKind::Money;
    if (type == QLatin1String("DATE"))
        return ColumnKind::Date;
    if (type == QLatin1String("TIME"))
        return ColumnKind::Time;
    if (type == QLatin1String("TIMESTAMP"))
        return ColumnKind::Moment;
    return ColumnKind::Text;
}

QString dateText(const QDate &date) {
    if (!date.isValid())
        return QString();
    return QStringLiteral("%1/%2/%3").arg(date.year()).arg(date.month()).arg(date.day());
}

QDate parseDate(const QString &text) {
    static const QRegularExpression form(QStringLiteral(
        R"(^\s*(\d{1,4})\s*[/\-.]\s*(\d{1,2})\s*[/\-.]\s*(\d{1,2})(?:[ T].*)?\s*$)"));
    const auto match = form.match(text);
    if (!match.hasMatch())
        return QDate();
    int year = match.captured(1).toInt();
    // A year typed with one or two digits is read as the system's short date reads it:
    // 00-29 in this century, 30-99 in the last one ("01/5/3" is 2001/5/3, "97/1/2" 1997).
    if (match.captured(1).size() <= 2)
        year += year < 30 ? 2000 : 1900;
    return QDate(year, match.captured(2).toInt(), match.captured(3).toInt());
}

QString isoDate(const QDate &date) {
    return date.toString(Qt::ISODate);
}

QString timeText(const QTime &time) {
    return time.isValid() ? time.toString(QStringLiteral("HH:mm:ss")) : QString();
}

QTime parseTime(const QString &text) {
    static const QRegularExpression form(
        QStringLiteral(R"(^\s*(\d{1,2}):(\d{2})(?::(\d{2}))?\s*([AaPp][Mm])?\s*$)"));
    const auto match = form.match(text);
    if (!match.hasMatch())
        return QTime();
    int hour = match.captured(1).toInt();
    const QString half = match.captured(4).toUpper();
    if (half == QLatin1String("PM") && hour < 12)
        hour += 12;
    if (half == QLatin1String("AM") && hour == 12)
        hour = 0;
    return QTime(hour, match.captured(2).toInt(), match.captured(3).toInt());
}

QString isoMoment(const QDateTime &moment) {
    return moment.isValid() ? moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

QDateTime parseMoment(const QString &text) {
    // A day and a time of day, parted by blanks or a T.
    static const QRegularExpression form(QStringLiteral(R"(^\s*(\S+?)(?:\s+|T)(\S.*?)\s*$)"));
    const auto match = form.match(text);
    if (!match.hasMatch())
        return QDateTime();
    const QDate day = parseDate(match.captured(1));
    const QTime time = parseTime(match.captured(2));
    return day.isValid() && time.isValid() ? QDateTime(day, time) : QDateTime();
}

QString momentText(const QDateTime &moment) {
    return moment.isValid() ? dateText(moment.date()) + QLatin1Char(' ') + timeText(moment.time())
                            : QString();
}

QString numberText(double value) {
    if (!std::isfinite(value))
        return QStringLiteral("(out of range)"); // never "inf" or "nan" on a screen
    if (value == 0)
        return QStringLiteral("0"); // also for -0
    // Fifteen significant digits, as the shop's tills show: 0.1 + 0.2 shows as 0.3.
    return QString::number(value, 'g', 15);
}

std::optional<double> parseNumber(const QString &text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    double value = QLocale::system().toDouble(trimmed, &ok);
    if (!ok)
        value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> parseMoney(const QString &text) {
    const auto number = parseNumber(text);
    if (!number || std::fabs(*number) > largestMoney)
        return std::nullopt;
    return number;
}

double leadingNumber(const QString &text) {
    static const QRegularExpression number(
        QStringLiteral(R"(^\s*([+-]?\s*(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?))"));
    const auto match = number.match(text);
    if (!match.hasMatch())
        return 0;
    QString digits = match.captured(1);
    digits.remove(QLatin1Char(' '));
    const double value = digits.toDouble();
    return std::isfinite(value) ? value : 0;
}

namespace {

[[noreturn]] void mismatch(const QString &fieldName, const QString &text, const char *kind) {
    throw DataError(QStringLiteral("The value \"%1\" cannot be stored in the field '%2': it is "
                                   "not %3.")
                        .arg(text.size() > 40 ? text.left(40) + QStringLiteral("...") : text,
                             fieldName, QLatin1String(kind)));
}

QVariant wholeNumber(double value, const QString &fieldName, const QString &text) {
    const double rounded = std::nearbyint(value); // halves to the even neighbour
    if (!std::isfinite(rounded) || std::fabs(rounded) > 9.0e15)
        mismatch(fieldName, text, "a whole number in range");
    return QVariant(static_cast<qlonglong>(rounded));
}

} // namespace

QVariant toStorage(ColumnKind kind, const QVariant &value, const QString &fieldName) {
    if (!value.isValid() || value.isNull())
        return QVariant();
    const int type = value.typeId();
    const bool isNumber = type == QMetaType::Int || type == QMetaType::LongLong ||
                          type == QMetaType::Double || type == QMetaType::UInt ||
                          type == QMetaType::Float;
    const QString text = value.toString();
    if (kind != ColumnKind::Text && !isNumber && type != QMetaType::QDate &&
        type != QMetaType::QTime && text.trimmed().isEmpty())
        return QVariant();

    switch (kind) {
    case ColumnKind::Text:
        return QVariant(text);
    case ColumnKind::AutoNumber:
    case ColumnKind::Whole:
    case ColumnKind::Money: {
        const auto number = isNumber ? std::optional<double>(value.toDouble()) : parseNumber(text);
        if (!number || (kind == ColumnKind::Money && !std::isfinite(*number)))
            mismatch(fieldName, text, "a number");
        if (kind != ColumnKind::Money)
            return wholeNumber(*number, fieldName, text);
        if (std::fabs(*number) > largestMoney)
            mismatch(fieldName, text, "an amount within 90,000,000,000,000");
        return QVariant(*number);
    }
    case ColumnKind::Date: {
        const QDate date = type == QMetaType::QDate       ? value.toDate()
                           : type == QMetaType::QDateTime ? value.toDateTime().date()
                                                          : parseDate(text);
        if (!date.isValid())
            mismatch(fieldName, text, "a date (year/month/day)");
        return QVariant(isoDate(date));
    }
    case ColumnKind::Time: {
        const QTime time = type == QMetaType::QTime       ? value.toTime()
                           : type == QMetaType::QDateTime ? value.toDateTime().time()
                                                          : parseTime(text);
        if (!time.isValid())
            mismatch(fieldName, text, "a time of day (hours:minutes:seconds)");
        return QVariant(timeText(time));
    }
    case ColumnKind::Moment: {
        const QDateTime moment =
            type == QMetaType::QDateTime ? value.toDateTime() : parseMoment(text);
        if (!moment.isValid())
            mismatch(fieldName, text, "a day and a time (year/month/day hours:minutes:seconds)");
        return QVariant(isoMoment(moment));
    }
    }
    return QVariant(text);
}

QString displayText(ColumnKind kind, const QVariant &stored) {
    if (!stored.isValid() || stored.isNull())
        return QString();
    const int type = stored.typeId();
    if (type == QMetaType::Double || type == QMetaType::LongLong || type == QMetaType::Int) {
        if (kind == ColumnKind::Text)
            return stored.toString();
        // An amount shows as the program works it out: to the ten-thousandth, on the file as
        // on the server.
        if (kind == ColumnKind::Money)
            if (const auto amount = Money::fromValue(stored))
                return amount->text();
        return numberText(stored.toDouble());
    }
    const QString text = stored.toString();
    if (kind == ColumnKind::Date) {
        const QDate date = QDate::fromString(text, Qt::ISODate);
        return date.isValid() ? dateText(date) : text;
    }
    if (kind == ColumnKind::Moment) {
        const QDateTime moment = parseMoment(text);
        return moment.isValid() ? momentText(moment) : text;
    }
    return text;
}

std::optional<double> toNumber(const QVariant &value) {
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    const int type = value.typeId();
    if (type == QMetaType::Double || type == QMetaType::LongLong || type == QMetaType::Int)
        return value.toDouble();
    return parseNumber(value.toString());
}

} // namespace conv
