// An Excel workbook written row by row: money and whole numbers as number cells, dates and
// times as date cells in the shop's forms, text as text. A sheet holds at most 1,048,576
// lines, so a longer list goes on over further sheets, each under the column captions.
#pragma once

#include "exportsink.h"
#include "zipwriter.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

class QIODevice;

class XlsxSink : public ExportSink {
public:
    // Writes the workbook to `device`; the sheets are named after `title`.
    XlsxSink(QIODevice &device, const QString &title);

    void writeCaptions(const QStringList &captions) override;
    void writeRows(const ExportBatch &batch) override;
    void finish() override;

    // Lines of data on one sheet, under its caption line.
    static constexpr int rowsPerSheet = 1048575;

private:
    void startSheet();
    void endSheet();
    void startLine();
    void handOver();
    void writeCell(int column, const ExportCell &cell, const ExportBatch &batch);
    void startCell(int column, int style, bool text);
    void writeText(int column, QByteArrayView utf8, int style = 0);
    void writeNumber(int column, double number, int style);

    ZipWriter zip_;
    QString title_;
    QStringList captions_;
    QList<QByteArray> columnNames_; // A, B, … AA, …
    QByteArray xml_;                // the sheet's lines not yet handed to the zip
    QByteArray line_;               // the line's number, as text
    int lines_ = 0;                 // on this sheet, its caption line too
    int sheets_ = 0;
};
