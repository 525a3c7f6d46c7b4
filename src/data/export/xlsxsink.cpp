// Excel output through libxlsxwriter in its constant-memory mode: each line goes to disk as
// it is written, so a list of millions of rows needs no more memory than one. The finished
// workbook is packed on every core (the last functions here).
#include "xlsxsink.h"

#include "dataerror.h"
#include "paralleldeflate.h"

#include <QDate>
#include <QFileInfo>
#include <QTime>
#include <cstdint>
#include <cstdio>
#include <dlfcn.h>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <xlsxwriter.h>

namespace {
// A cell holds at most this many characters.
constexpr qsizetype longestText = 32767;
// Day 0 of the workbook's date numbers; right for every day after 1900/2/28.
const QDate dayZero(1899, 12, 30);
const QDate firstDateCell(1900, 3, 1);
constexpr std::size_t scratchBufferSize = std::size_t{1} << 20;

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
    // Nothing has been written to the scratch file yet, so its buffer may still be replaced.
    if (FILE *scratch = sheet_->optimize_tmpfile) {
        scratchBuffers_.push_back(std::make_unique<char[]>(scratchBufferSize));
        std::setvbuf(scratch, scratchBuffers_.back().get(), _IOFBF, scratchBufferSize);
    }
    worksheet_freeze_panes(sheet_, 1, 0);
    for (qsizetype column = 0; column < captions_.size(); ++column)
        check(worksheet_write_string(sheet_, 0, static_cast<lxw_col_t>(column),
                                     captions_[column].toUtf8().constData(), captionFormat_));
    line_ = 1;
}

void XlsxSink::writeRows(const ExportBatch &batch) {
    for (std::size_t row = 0; row < batch.rows(); ++row) {
        if (line_ > rowsPerSheet)
            startSheet();
        int column = 0;
        for (const ExportCell &cell : batch.row(row))
            writeCell(column++, cell, batch);
        ++line_;
    }
}

void XlsxSink::writeCell(int at, const ExportCell &cell, const ExportBatch &batch) {
    static const qint64 dayZeroJulian = dayZero.toJulianDay();
    static const qint64 firstDateCellJulian = firstDateCell.toJulianDay();
    const auto line = static_cast<lxw_row_t>(line_);
    const auto column = static_cast<lxw_col_t>(at);
    switch (cell.kind) {
    case ExportCell::Kind::Empty:
        break;
    case ExportCell::Kind::Money:
        check(worksheet_write_number(sheet_, line, column, cell.number, moneyFormat_));
        break;
    case ExportCell::Kind::Whole:
        check(worksheet_write_number(sheet_, line, column, static_cast<double>(cell.integer),
                                     nullptr));
        break;
    case ExportCell::Kind::Date:
        if (cell.integer >= firstDateCellJulian)
            check(worksheet_write_number(sheet_, line, column,
                                         static_cast<double>(cell.integer - dayZeroJulian),
                                         dateFormat_));
        else
            check(worksheet_write_string(
                sheet_, line, column,
                QDate::fromJulianDay(cell.integer).toString(Qt::ISODate).toUtf8().constData(),
                nullptr));
        break;
    case ExportCell::Kind::Time:
        check(worksheet_write_number(sheet_, line, column,
                                     static_cast<double>(cell.integer) / 86400000.0, timeFormat_));
        break;
    case ExportCell::Kind::Text:
        if (cell.textSize == 0)
            break;
        // Bytes are never fewer than characters, so only a long text is counted over.
        if (cell.textSize > longestText) {
            const QByteArray cut =
                QString::fromUtf8(batch.text(cell), cell.textSize).left(longestText).toUtf8();
            check(worksheet_write_string(sheet_, line, column, cut.constData(), nullptr));
        } else {
            check(worksheet_write_string(sheet_, line, column, batch.text(cell), nullptr));
        }
        break;
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

// How the workbook's parts are packed. libxlsxwriter packs them through minizip with zlib at its
// default level, on one core, and has no setting for it; for a large list that took almost as
// long as writing the sheets. minizip's three calls for an entry are given stand-ins below (a
// program's definition is the one a library's call is bound to): an entry that minizip would
// deflate at the default level is opened raw instead, its bytes go through a ParallelDeflate,
// and its size and checksum are handed over when it is closed. The same cells, a file of about
// the same size. Any other entry passes straight through.
namespace {
// What the entry's header says of how hard it was packed: the fastest.
constexpr int fastLevel = 1;
// minizip's codes, as its zip.h has them.
constexpr int zipOk = 0;
constexpr int zipErrno = -1;
constexpr int zipInternalError = -104;
constexpr int deflated = 8;

using OpenInZip = int (*)(void *file, const char *filename, const void *fileInfo,
                          const void *extraLocal, unsigned extraLocalSize, const void *extraGlobal,
                          unsigned extraGlobalSize, const char *comment, int method, int level,
                          int raw, int windowBits, int memLevel, int strategy, const char *password,
                          unsigned long crcForCrypting, unsigned long versionMadeBy,
                          unsigned long flagBase, int zip64);
using WriteInZip = int (*)(void *file, const void *data, unsigned size);
using CloseInZip = int (*)(void *file);
using CloseRawInZip = int (*)(void *file, std::uint64_t size, unsigned long crc);

// minizip's own function of that name, or null if it cannot be found.
template <typename Function> Function minizipOwn(const char *name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

// The entries being packed in parallel, by the zip file they go into (one open entry a file).
struct Packing {
    std::mutex mutex;
    std::unordered_map<void *, std::unique_ptr<ParallelDeflate>> entries;

    ParallelDeflate *find(void *file) {
        const std::lock_guard lock(mutex);
        const auto found = entries.find(file);
        return found == entries.end() ? nullptr : found->second.get();
    }
    std::unique_ptr<ParallelDeflate> take(void *file) {
        const std::lock_guard lock(mutex);
        auto entry = entries.extract(file);
        return entry.empty() ? nullptr : std::move(entry.mapped());
    }
    void put(void *file, std::unique_ptr<ParallelDeflate> entry) {
        const std::lock_guard lock(mutex);
        entries[file] = std::move(entry);
    }
};

Packing &packing() {
    static Packing packing;
    return packing;
}
} // namespace

// minizip's zip.h declares these with these types (zipFile is a pointer, uInt unsigned, uLong
// unsigned long).
extern "C" __attribute__((visibility("default"))) int
zipOpenNewFileInZip4_64(void *file, const char *filename, const void *fileInfo,
                        const void *extraLocal, unsigned extraLocalSize, const void *extraGlobal,
                        unsigned extraGlobalSize, const char *comment, int method, int level,
                        int raw, int windowBits, int memLevel, int strategy, const char *password,
                        unsigned long crcForCrypting, unsigned long versionMadeBy,
                        unsigned long flagBase, int zip64) {
    static const auto own = minizipOwn<OpenInZip>("zipOpenNewFileInZip4_64");
    static const auto write = minizipOwn<WriteInZip>("zipWriteInFileInZip");
    if (own == nullptr || write == nullptr)
        return zipInternalError; // the workbook reports that it could not be written
    packing().take(file);        // what an entry given up half way left behind
    // Only an entry to be deflated at the default level is packed here: one stored
    // uncompressed stays so.
    const bool ours = method == deflated && level == -1 && raw == 0 && password == nullptr;
    const int opened =
        own(file, filename, fileInfo, extraLocal, extraLocalSize, extraGlobal, extraGlobalSize,
            comment, method, ours ? fastLevel : level, ours ? 1 : raw, windowBits, memLevel,
            strategy, password, crcForCrypting, versionMadeBy, flagBase, zip64);
    if (opened == zipOk && ours)
        packing().put(file,
                      std::make_unique<ParallelDeflate>([file](const char *data, std::size_t size) {
                          return write(file, data, static_cast<unsigned>(size)) == zipOk;
                      }));
    return opened;
}

extern "C" __attribute__((visibility("default"))) int
zipWriteInFileInZip(void *file, const void *data, unsigned size) {
    if (ParallelDeflate *entry = packing().find(file))
        return entry->add(static_cast<const char *>(data), size) ? zipOk : zipErrno;
    static const auto own = minizipOwn<WriteInZip>("zipWriteInFileInZip");
    return own == nullptr ? zipInternalError : own(file, data, size);
}

extern "C" __attribute__((visibility("default"))) int zipCloseFileInZip(void *file) {
    const std::unique_ptr<ParallelDeflate> entry = packing().take(file);
    if (entry == nullptr) {
        static const auto own = minizipOwn<CloseInZip>("zipCloseFileInZip");
        return own == nullptr ? zipInternalError : own(file);
    }
    static const auto closeRaw = minizipOwn<CloseRawInZip>("zipCloseFileInZipRaw64");
    if (closeRaw == nullptr)
        return zipInternalError;
    const bool packed = entry->finish();
    // The entry is closed either way, so that minizip stays in step; a cut-short one fails.
    const int closed = closeRaw(file, entry->inputSize(), entry->crc());
    return packed ? closed : zipErrno;
}
