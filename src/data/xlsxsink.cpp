// Excel output through libxlsxwriter in its constant-memory mode: each line goes to disk as
// it is written, so a list of millions of rows needs no more memory than one. The finished
// workbook is packed at zlib's fastest level (the last function here).
#include "xlsxsink.h"

#include "dataerror.h"

#include <QDate>
#include <QFileInfo>
#include <QTime>
#include <cstdio>
#include <dlfcn.h>
#include <xlsxwriter.h>

namespace {
// A cell holds at most this many characters.
constexpr qsizetype longestText = 32767;
// Day 0 of the workbook's date numbers; right for every day after 1900/2/28.
const QDate dayZero(1899, 12, 30);
const QDate firstDateCell(1900, 3, 1);

// Sheet names are at most 31 characters and may not hold []:*?/\.
QString sheetName(const QString &title, int sheet) {
    QString name = title.trimmed();
    for (const QChar c : QStringLiteral("[]:*?/\\"))
        name.replace(c, QLatin1Char(' '));
    name = name.simplified();
    if (name.isEmpty())
        name = QStringLiteral("Sheet");
    const QString suffix = sheet > 1 ? QStringLiteral(" (%1)").arg(sheet) : QString();
    return name.left(31 - suffix.size()) + suffix;
}
} // namespace

XlsxSink::XlsxSink(const QString &path, const QString &title) : title_(title) {
    // The library's own scratch files go beside the target too, not into a small /tmp.
    tmpdir_ = QFileInfo(path).absolutePath().toLocal8Bit();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = tmpdir_.data();
    options.use_zip64 = LXW_TRUE;
    workbook_ = workbook_new_opt(path.toLocal8Bit().constData(), &options);
    if (workbook_ == nullptr)
        throw DataError(QStringLiteral("The workbook %1 could not be made.").arg(path));
    captionFormat_ = workbook_add_format(workbook_);
    format_set_bold(captionFormat_);
    moneyFormat_ = workbook_add_format(workbook_);
    format_set_num_format(moneyFormat_, "0.00");
    dateFormat_ = workbook_add_format(workbook_);
    format_set_num_format(dateFormat_, "yyyy/m/d");
    timeFormat_ = workbook_add_format(workbook_);
    format_set_num_format(timeFormat_, "hh:mm:ss");
}

XlsxSink::~XlsxSink() {
    if (workbook_ != nullptr)
        lxw_workbook_free(workbook_); // never finished: nothing is written
}

void XlsxSink::check(int error) const {
    if (error != LXW_NO_ERROR)
        throw DataError(QStringLiteral("The workbook could not be written: %1")
                            .arg(QString::fromUtf8(lxw_strerror(static_cast<lxw_error>(error)))));
}

void XlsxSink::writeCaptions(const QStringList &captions) {
    captions_ = captions;
    startSheet();
}

void XlsxSink::startSheet() {
    const int number = static_cast<int>(sheets_.size()) + 1;
    sheet_ = workbook_add_worksheet(workbook_, sheetName(title_, number).toUtf8().constData());
    if (sheet_ == nullptr)
        throw DataError(QStringLiteral("The workbook could not be written."));
    sheets_.push_back(sheet_);
    worksheet_freeze_panes(sheet_, 1, 0);
    for (qsizetype column = 0; column < captions_.size(); ++column)
        check(worksheet_write_string(sheet_, 0, static_cast<lxw_col_t>(column),
                                     captions_[column].toUtf8().constData(), captionFormat_));
    line_ = 1;
}

void XlsxSink::writeRows(const ExportBatch &batch) {
    static const qint64 dayZeroJulian = dayZero.toJulianDay();
    static const qint64 firstDateCellJulian = firstDateCell.toJulianDay();
    for (std::size_t row = 0; row < batch.rows(); ++row) {
        if (line_ > rowsPerSheet)
            startSheet();
        const auto line = static_cast<lxw_row_t>(line_);
        lxw_col_t column = 0;
        for (const ExportCell &cell : batch.row(row)) {
            switch (cell.kind) {
            case ExportCell::Kind::Empty:
                break;
            case ExportCell::Kind::Money:
                check(worksheet_write_number(sheet_, line, column, cell.number, moneyFormat_));
                break;
            case ExportCell::Kind::Whole:
                check(worksheet_write_number(sheet_, line, column,
                                             static_cast<double>(cell.integer), nullptr));
                break;
            case ExportCell::Kind::Date:
                if (cell.integer >= firstDateCellJulian)
                    check(worksheet_write_number(sheet_, line, column,
                                                 static_cast<double>(cell.integer - dayZeroJulian),
                                                 dateFormat_));
                else
                    check(worksheet_write_string(sheet_, line, column,
                                                 QDate::fromJulianDay(cell.integer)
                                                     .toString(Qt::ISODate)
                                                     .toUtf8()
                                                     .constData(),
                                                 nullptr));
                break;
            case ExportCell::Kind::Time:
                check(worksheet_write_number(sheet_, line, column,
                                             static_cast<double>(cell.integer) / 86400000.0,
                                             timeFormat_));
                break;
            case ExportCell::Kind::Text:
                if (cell.textSize == 0)
                    break;
                // Bytes are never fewer than characters, so only a long text is counted over.
                if (cell.textSize > longestText) {
                    const QByteArray cut = QString::fromUtf8(batch.text(cell), cell.textSize)
                                               .left(longestText)
                                               .toUtf8();
                    check(worksheet_write_string(sheet_, line, column, cut.constData(), nullptr));
                } else {
                    check(worksheet_write_string(sheet_, line, column, batch.text(cell), nullptr));
                }
                break;
            }
            ++column;
        }
        ++line_;
    }
}

void XlsxSink::finish() {
    if (sheets_.empty())
        startSheet();
    checkScratchFiles();
    lxw_workbook *workbook = workbook_;
    workbook_ = nullptr; // closing frees it, whether or not it succeeds
    check(workbook_close(workbook));
}

// libxlsxwriter does not look at its writes of the sheets' lines to its scratch files: a disk
// that filled up meanwhile would leave a sheet cut short in a workbook that seems whole.
void XlsxSink::checkScratchFiles() const {
    for (lxw_worksheet *sheet : sheets_) {
        FILE *scratch = sheet->optimize_tmpfile;
        if (scratch == nullptr || std::fflush(scratch) != 0 || std::ferror(scratch))
            throw DataError(
                QStringLiteral("The workbook could not be written; the disk may be full."));
    }
}

// How hard the workbook's parts are compressed. libxlsxwriter packs the workbook through
// minizip at zlib's default level and has no setting for it; at that level compressing a large
// list's sheets takes longer than writing them. The function below stands in front of
// minizip's own (a program's definition is the one a library's call is bound to) and passes
// the call on with zlib's fastest level: the same cells, a somewhat larger file.
namespace {
// zlib's fastest level, still a real compression (the default is 6).
constexpr int fastLevel = 1;

using OpenInZip = int (*)(void *file, const char *filename, const void *fileInfo,
                          const void *extraLocal, unsigned extraLocalSize, const void *extraGlobal,
                          unsigned extraGlobalSize, const char *comment, int method, int level,
                          int raw, int windowBits, int memLevel, int strategy, const char *password,
                          unsigned long crcForCrypting, unsigned long versionMadeBy,
                          unsigned long flagBase, int zip64);

OpenInZip minizipOwn() {
    static const auto own =
        reinterpret_cast<OpenInZip>(dlsym(RTLD_NEXT, "zipOpenNewFileInZip4_64"));
    return own;
}
} // namespace

// minizip's zip.h declares it with these types (zipFile is a pointer, uInt unsigned, uLong
// unsigned long).
extern "C" __attribute__((visibility("default"))) int
zipOpenNewFileInZip4_64(void *file, const char *filename, const void *fileInfo,
                        const void *extraLocal, unsigned extraLocalSize, const void *extraGlobal,
                        unsigned extraGlobalSize, const char *comment, int method, int level,
                        int raw, int windowBits, int memLevel, int strategy, const char *password,
                        unsigned long crcForCrypting, unsigned long versionMadeBy,
                        unsigned long flagBase, int zip64) {
    const OpenInZip own = minizipOwn();
    if (own == nullptr)
        return -104; // ZIP_INTERNALERROR: the workbook reports that it could not be written
    // Only the default level is lowered: a part stored uncompressed stays so.
    if (level == -1)
        level = fastLevel;
    return own(file, filename, fileInfo, extraLocal, extraLocalSize, extraGlobal, extraGlobalSize,
               comment, method, level, raw, windowBits, memLevel, strategy, password,
               crcForCrypting, versionMadeBy, flagBase, zip64);
}
