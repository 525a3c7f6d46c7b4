// A comma-separated file as spreadsheets read it: fields quoted where needed, lines ended by
// CR LF, UTF-8 with an optional byte-order mark; numbers with a decimal point, dates as
// 2001-05-03 and times as 14:05:09, which every spreadsheet reads as numbers, dates and times.
#pragma once

#include "exportsink.h"

#include <QByteArray>

class QIODevice;

class CsvSink : public ExportSink {
public:
    CsvSink(QIODevice &device, bool byteOrderMark, char separator = ',');
    void writeCaptions(const QStringList &captions) override;
    void writeRow(std::span<const QVariant> values) override;
    void finish() override;

    // One field as it stands in a line: quoted when it holds the separator, a quote or a line
    // break (and an inner quote doubled).
    static void appendField(QByteArray &line, const QString &text, char separator);
    static void appendUtf8Field(QByteArray &line, const QByteArray &utf8, char separator);
    // A value as it is written: the forms named above; text as it is.
    static QString fieldText(const QVariant &value);

private:
    void flushIfFull();

    QIODevice &device_;
    char separator_;
    QByteArray buffer_;
};
