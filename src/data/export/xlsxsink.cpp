// Excel output made here as the rows come: each sheet's XML is written line by line and
// deflated into the workbook on every core as it grows, so a list of millions of rows needs
// no scratch file and no more memory than a few blocks of it.
#include "xlsxsink.h"

#include "xlsxparts.h"

#include <QDate>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace {
// A cell holds at most this many characters.
constexpr qsizetype longestText = 32767;
// Day 0 of the workbook's date numbers; right for every day after 1900/2/28.
const QDate dayZero(1899, 12, 30);
const QDate firstDateCell(1900, 3, 1);
// The sheet's XML goes to the zip in pieces of about this size.
constexpr qsizetype handOverAt = qsizetype{1} << 20;

// A, B, … Z, AA, AB, …
QByteArray columnName(int column) {
    QByteArray name;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        name.prepend(static_cast<char>('A' + (n - 1) % 26));
    return name;
}

// Excel's form of a character that XML cannot hold: _xHHHH_.
QByteArray excelEscape(unsigned code) {
    return "_x" + QByteArray::number(code, 16).toUpper().rightJustified(4, '0') + '_';
}

bool looksEscaped(QByteArrayView text) {
    return text.size() >= 7 && text[1] == 'x' && text[6] == '_' &&
           std::all_of(text.begin() + 2, text.begin() + 6,
                       [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

// Text as a sheet's XML holds it: & < > as entities. Characters XML cannot hold (controls
// other than tab and line feed; U+FFFE, U+FFFF) take Excel's _xHHHH_ form, and so does a
// carriage return, which XML would read as a line feed; an underscore that begins such a form
// in the text itself becomes _x005F_, so that the text reads back as it was.
void appendEscaped(QByteArray &out, QByteArrayView text) {
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c > '>' && c != '_' && c != 0xEF)
            continue; // nearly every byte
        QByteArray with;
        qsizetype bytes = 1;
        if (c == '&' || c == '<' || c == '>')
            with = c == '&' ? "&amp;" : c == '<' ? "&lt;" : "&gt;";
        else if ((c < 0x20 && c != '\t' && c != '\n') || (c == '_' && looksEscaped(text.sliced(i))))
            with = excelEscape(c);
        else if (text.sliced(i).startsWith("\xEF\xBF\xBE") ||
                 text.sliced(i).startsWith("\xEF\xBF\xBF"))
            with = excelEscape(text[i + 2] == '\xBE' ? 0xFFFE : 0xFFFF), bytes = 3;
        else
            continue;
        out.append(text.sliced(from, i - from)).append(with);
        i += bytes - 1;
        from = i + 1;
    }
    out.append(text.sliced(from));
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
} // namespace

XlsxSink::XlsxSink(QIODevice &device, const QString &title) : zip_(device), title_(title) {
    xml_.reserve(handOverAt + 65536);
}

void XlsxSink::writeCaptions(const QStringList &captions) {
    captions_ = captions;
    for (int column = 0; column < captions.size(); ++column)
        columnNames_ << columnName(column);
    startSheet();
}

void XlsxSink::startSheet() {
    zip_.beginEntry(xlsxparts::sheetPart(++sheets_));
    xml_ += xlsxparts::sheetStart(sheets_ == 1);
    lines_ = 0;
    startLine();
    for (int column = 0; column < captions_.size(); ++column)
        writeText(column, captions_[column].toUtf8(), xlsxparts::Caption);
    xml_ += "</row>";
}

void XlsxSink::endSheet() {
    xml_ += xlsxparts::sheetEnd();
    handOver();
    zip_.endEntry();
}

void XlsxSink::handOver() {
    zip_.write(xml_);
    xml_.clear();
}

void XlsxSink::startLine() {
    line_.setNum(++lines_);
    xml_.append("<row r=\"").append(line_).append("\">");
}

void XlsxSink::writeRows(const ExportBatch &batch) {
    for (std::size_t row = 0; row < batch.rows(); ++row) {
        if (lines_ > rowsPerSheet) {
            endSheet();
            startSheet();
        }
        startLine();
        int column = 0;
        for (const ExportCell &cell : batch.row(row))
            writeCell(column++, cell, batch);
        xml_ += "</row>";
        if (xml_.size() >= handOverAt)
            handOver();
    }
}

void XlsxSink::startCell(int column, int style, bool text) {
    xml_.append("<c r=\"").append(columnNames_[column]).append(line_);
    if (style != 0)
        xml_.append("\" s=\"").append(static_cast<char>('0' + style));
    xml_ += text ? "\" t=\"inlineStr\"><is><t" : "\"><v>";
}

void XlsxSink::writeText(int column, QByteArrayView utf8, int style) {
    startCell(column, style, true);
    // Excel drops blanks at either end unless told to keep them.
    if (!utf8.isEmpty() && (isBlank(utf8.front()) || isBlank(utf8.back())))
        xml_ += " xml:space=\"preserve\"";
    xml_ += '>';
    appendEscaped(xml_, utf8);
    xml_ += "</t></is></c>";
}

void XlsxSink::writeNumber(int column, double number, int style) {
    if (!std::isfinite(number)) // no number cell can hold it
        return writeText(column, QByteArray::number(number));
    startCell(column, style, false);
    char digits[32];
    // The shortest digits that read back as the same number.
    xml_.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr - digits);
    xml_ += "</v></c>";
}

void XlsxSink::writeCell(int column, const ExportCell &cell, const ExportBatch &batch) {
    static const qint64 dayZeroJulian = dayZero.toJulianDay();
    static const qint64 firstDateCellJulian = firstDateCell.toJulianDay();
    switch (cell.kind) {
    case ExportCell::Kind::Empty:
        break;
    case ExportCell::Kind::Money:
        writeNumber(column, cell.number, xlsxparts::Money);
        break;
    case ExportCell::Kind::Whole:
        writeNumber(column, static_cast<double>(cell.integer), 0);
        break;
    case ExportCell::Kind::Date:
        if (cell.integer >= firstDateCellJulian)
            writeNumber(column, static_cast<double>(cell.integer - dayZeroJulian), xlsxparts::Date);
        else
            writeText(column, QDate::fromJulianDay(cell.integer).toString(Qt::ISODate).toUtf8());
        break;
    case ExportCell::Kind::Time:
        writeNumber(column, static_cast<double>(cell.integer) / 86400000.0, xlsxparts::Time);
        break;
    case ExportCell::Kind::Text:
        // Bytes are never fewer than characters, so only a long text is counted over.
        if (cell.textSize > longestText)
            writeText(
                column,
                QString::fromUtf8(batch.text(cell), cell.textSize).left(longestText).toUtf8());
        else if (cell.textSize > 0)
            writeText(column, QByteArrayView(batch.text(cell), cell.textSize));
        break;
    }
}

void XlsxSink::finish() {
    if (sheets_ == 0)
        startSheet();
    endSheet();
    for (const auto &[name, content] : xlsxparts::fixedParts(title_, sheets_)) {
        zip_.beginEntry(name);
        zip_.write(content);
        zip_.endEntry();
    }
    zip_.finish();
}
