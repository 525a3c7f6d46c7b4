// Comma-separated output, buffered so that millions of rows go out in large writes.
#include "csvsink.h"

#include "dataerror.h"

#include <QDate>
#include <QIODevice>
#include <algorithm>
#include <charconv>

namespace {
constexpr qsizetype flushAt = 1 << 20;

// Dates and times are written by hand: QDate::toString is slow over millions of cells.
void appendDigits(QByteArray &out, int value, int width) {
    char digits[8];
    for (int i = width - 1; i >= 0; --i, value /= 10)
        digits[i] = static_cast<char>('0' + value % 10);
    out.append(digits, width);
}
// Numbers as the shop shows them (fifteen significant digits, no exponent for amounts),
// written straight into the line: a text per cell costs more than the rest of the export.
void appendNumber(QByteArray &out, double value) {
    if (value == 0) {
        out.append('0'); // also for -0
        return;
    }
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15);
    out.append(text, end.ptr - text);
}

void appendWhole(QByteArray &out, qlonglong value) {
    char text[24];
    const auto end = std::to_chars(text, text + sizeof text, value);
    out.append(text, end.ptr - text);
}
} // namespace

CsvSink::CsvSink(QIODevice &device, bool byteOrderMark, char separator)
    : device_(device), separator_(separator) {
    buffer_.reserve(flushAt + 4096);
    if (byteOrderMark)
        buffer_.append("\xEF\xBB\xBF");
}

void CsvSink::appendField(QByteArray &line, const QString &text, char separator) {
    appendUtf8Field(line, text.toUtf8(), separator);
}

void CsvSink::appendUtf8Field(QByteArray &line, QByteArrayView utf8, char separator) {
    if (std::none_of(utf8.begin(), utf8.end(), [separator](char c) {
            return c == separator || c == '"' || c == '\n' || c == '\r';
        })) {
        line.append(utf8);
        return;
    }
    line.append('"');
    for (char c : utf8) {
        if (c == '"')
            line.append('"');
        line.append(c);
    }
    line.append('"');
}

void CsvSink::writeCaptions(const QStringList &captions) {
    for (qsizetype i = 0; i < captions.size(); ++i) {
        if (i > 0)
            buffer_.append(separator_);
        appendField(buffer_, captions[i], separator_);
    }
    buffer_.append("\r\n");
}

void CsvSink::writeRows(const ExportBatch &batch) {
    for (std::size_t row = 0; row < batch.rows(); ++row) {
        bool first = true;
        for (const ExportCell &cell : batch.row(row)) {
            if (!first)
                buffer_.append(separator_);
            first = false;
            switch (cell.kind) {
            case ExportCell::Kind::Empty:
                break;
            case ExportCell::Kind::Date: {
                int year = 0;
                int month = 0;
                int day = 0;
                QDate::fromJulianDay(cell.integer).getDate(&year, &month, &day);
                appendDigits(buffer_, year, 4);
                buffer_.append('-');
                appendDigits(buffer_, month, 2);
                buffer_.append('-');
                appendDigits(buffer_, day, 2);
                break;
            }
            case ExportCell::Kind::Time: {
                const auto seconds = static_cast<int>(cell.integer / 1000);
                appendDigits(buffer_, seconds / 3600, 2);
                buffer_.append(':');
                appendDigits(buffer_, seconds / 60 % 60, 2);
                buffer_.append(':');
                appendDigits(buffer_, seconds % 60, 2);
                break;
            }
            case ExportCell::Kind::Money:
                appendNumber(buffer_, cell.number);
                break;
            case ExportCell::Kind::Whole:
                appendWhole(buffer_, cell.integer);
                break;
            case ExportCell::Kind::Text:
                appendUtf8Field(buffer_, QByteArrayView(batch.text(cell), cell.textSize),
                                separator_);
                break;
            }
        }
        buffer_.append("\r\n");
        flush(flushAt);
    }
}

void CsvSink::flush(qsizetype atLeast) {
    if (buffer_.isEmpty() || buffer_.size() < atLeast)
        return;
    if (device_.write(buffer_) != buffer_.size())
        throw DataError(
            QStringLiteral("The file could not be written: %1").arg(device_.errorString()));
    buffer_.clear();
}

void CsvSink::finish() {
    flush(0);
}
