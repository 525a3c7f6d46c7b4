// The server's cells as the program holds them: the one place that knows which of the
// server's types is a whole number, an amount or text, and how their text reads.
#pragma once

#include <QByteArray>
#include <charconv>
#include <libpq-fe.h>

namespace server {

// Type OIDs of the server's built-in types (pg_type.dat).
inline constexpr Oid boolOid = 16, int8Oid = 20, int2Oid = 21, int4Oid = 23, float4Oid = 700,
                     float8Oid = 701, numericOid = 1700, dateOid = 1082, timeOid = 1083;

enum class CellKind { Whole, Truth, Amount, Text };

inline CellKind cellKind(Oid type) {
    switch (type) {
    case int2Oid:
    case int4Oid:
    case int8Oid:
        return CellKind::Whole;
    case boolOid:
        return CellKind::Truth;
    case numericOid:
    case float4Oid:
    case float8Oid:
        return CellKind::Amount;
    default: // text, and dates and times as sent, as the file keeps them
        return CellKind::Text;
    }
}

// Independent of the locale, as the server writes them.
inline qint64 wholeNumber(const char *text, int length) {
    qint64 value = 0;
    std::from_chars(text, text + length, value);
    return value;
}

inline double amount(const char *text, int length) {
    double value = 0;
    if (std::from_chars(text, text + length, value).ec != std::errc())
        value = QByteArray::fromRawData(text, length).toDouble();
    return value;
}

} // namespace server
