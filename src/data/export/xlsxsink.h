// An Excel workbook written row by row: money and whole numbers as number cells, dates and
// times as date cells in the shop's forms, text as text. A sheet holds at most 1,048,576
// lines, so a longer list goes on over further sheets, each under the column captions.
#pragma once

#include "exportsink.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

class XlsxSink : public ExportSink {
public:
    // Writes the workbook to `path` (a temporary name beside the target); the sheets are
    // named after `title`.
    XlsxSink(const QString &path, const QString &title);
    ~XlsxSink() override;
    XlsxSink(const XlsxSink &) = delete;
    XlsxSink &operator=(const XlsxSink &) = delete;

    void writeCaptions(const QStringList &captions) override;
    void writeRows(const ExportBatch &batch) override;
    void finish() override;

    // Lines of data on one sheet, under its caption line.
    static constexpr int rowsPerSheet = 1048575;

private:
    void startSheet();
    void writeCell(int column, const ExportCell &cell, const ExportBatch &batch);
    void check(int error) const;
    void checkScratchFiles() const;

    lxw_workbook *workbook_ = nullptr;
    lxw_worksheet *sheet_ = nullptr;
    std::vector<lxw_worksheet *> sheets_;
    // Each sheet's scratch file writes through one of these rather than a page at a time; they
    // outlive the files, which the workbook closes.
    std::vector<std::unique_ptr<char[]>> scratchBuffers_;
    lxw_format *captionFormat_ = nullptr;
    lxw_format *moneyFormat_ = nullptr;
    lxw_format *dateFormat_ = nullptr;
    lxw_format *timeFormat_ = nullptr;
    QByteArray tmpdir_;
    QString title_;
    QStringList captions_;
    int line_ = 0; // next line on the current sheet
};
