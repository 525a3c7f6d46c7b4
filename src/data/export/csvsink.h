// A comma-separated file as spreadsheets read it: fields quoted where needed, lines ended by
// CR LF, UTF-8 with an optional byte-order mark; numbers with a decimal point, dates as
// 2001-05-03 and times as 14:05:09, which every spreadsheet reads as numbers, dates and times.
#pragma once

#include "exportsink.h"

#include <QByteArray>
#include <QByteArrayView>

class QIODevice;

class CsvSink : public ExportSink {
public:
    CsvSink(QIODevice &device, bool byteOrderMark, char separator = ',');
    void writeCaptions(const QStringList &captions) override;
    void writeRows(const ExportBatch &batch) override;
    void finish() override;

    // One field as it stands in a line: quoted when it holds the separator, a quote or a line
    // break (and an inner quote doubled).
    static void appendField(QByteArray &line, const QString &text, char separator);
    static void appendUtf8Field(QByteArray &line, QByteArrayView utf8, char separator);

private:
    // Writes what the buffer holds once it holds `atLeast` bytes.
    void flush(qsizetype atLeast);

    QIODevice &device_;
    char separator_;
    QByteArray buffer_;
};
