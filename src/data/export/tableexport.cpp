// Whole-list export: reads the record set on as it writes, converts each cell to its typed
// value once, and renames the finished file into place.
#include "tableexport.h"

#include "csvsink.h"
#include "dataerror.h"
#include "exportwriter.h"
#include "recordsource.h"
#include "xlsxsink.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTime>
#include <QUtf8StringView>
#include <chrono>
#include <cstdio>

namespace {

template <typename Text> int digits(const Text &text, qsizetype from, qsizetype count) {
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t c = QChar(text[i]).unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

// Dates and times in the form the shop keeps them (2001-05-03, 14:05:09), read by hand, as a
// general parser is slow over millions of cells; invalid for any other form.
template <typename Text> QDate keptDate(const Text &text) {
    if (text.size() != 10 || text[4] != u'-' || text[7] != u'-')
        return {};
    return QDate(digits(text, 0, 4), digits(text, 5, 2), digits(text, 8, 2));
}

template <typename Text> QTime keptTime(const Text &text) {
    if (text.size() != 8 || text[2] != u':' || text[5] != u':')
        return {};
    return QTime(digits(text, 0, 2), digits(text, 3, 2), digits(text, 6, 2));
}

// Each false, leaving the cell as it was, for a date or time that is not one.
bool setDate(ExportCell &cell, const QDate &date) {
    if (!date.isValid())
        return false;
    cell.kind = ExportCell::Kind::Date;
    cell.integer = date.toJulianDay();
    return true;
}

bool setTime(ExportCell &cell, const QTime &time) {
    if (!time.isValid())
        return false;
    cell.kind = ExportCell::Kind::Time;
    cell.integer = time.msecsSinceStartOfDay();
    return true;
}

void setNumber(ExportCell &cell, ColumnKind kind, double number) {
    const auto whole = static_cast<qint64>(number);
    if (kind != ColumnKind::Money && static_cast<double>(whole) == number) {
        cell.kind = ExportCell::Kind::Whole;
        cell.integer = whole;
    } else {
        cell.kind = ExportCell::Kind::Money;
        cell.number = number;
    }
}

// A cell as the file takes it, straight from how the record set keeps it, for the common
// cases: a number in a number column, a date or time in the shop's form, text that is sound
// UTF-8 in a text column. False for anything else, which fill() below converts as the screen
// does; both give the same cell.
bool fillStored(ExportBatch &batch, ExportCell &cell, ColumnKind kind,
                const RowStore::Stored &stored) {
    switch (stored.kind) {
    case StoredAs::Null:
        return true;
    case StoredAs::Whole:
    case StoredAs::Real:
        if (!isNumberKind(kind))
            return false;
        setNumber(cell, kind,
                  stored.kind == StoredAs::Whole ? static_cast<double>(stored.whole) : stored.real);
        return true;
    case StoredAs::Text: {
        const QLatin1StringView bytes(stored.text, static_cast<qsizetype>(stored.size));
        if (kind == ColumnKind::Date)
            return setDate(cell, keptDate(bytes));
        if (kind == ColumnKind::Time)
            return setTime(cell, keptTime(bytes));
        if (kind != ColumnKind::Text ||
            !QUtf8StringView(stored.text, static_cast<qsizetype>(stored.size)).isValidUtf8())
            return false;
        batch.setText(cell, stored.text, stored.size);
        return true;
    }
    }
    return false;
}

// A cell as the file takes it; what does not read as its column's kind (a half-typed edit)
// goes out as the text it is. Text is made UTF-8 here and not on the writer's thread, which
// has the most to do.
void fill(ExportBatch &batch, ExportCell &cell, ColumnKind kind, const QVariant &value) {
    if (value.isNull() || !value.isValid())
        return;
    const QString text = value.toString();
    switch (kind) {
    case ColumnKind::Date:
        if (setDate(cell, keptDate(text)) || setDate(cell, conv::parseDate(text)))
            return;
        break;
    case ColumnKind::Time:
        if (setTime(cell, keptTime(text)) || setTime(cell, conv::parseTime(text)))
            return;
        break;
    case ColumnKind::Money:
    case ColumnKind::Whole:
    case ColumnKind::AutoNumber: {
        const auto number = conv::toNumber(value);
        if (!number)
            break;
        setNumber(cell, kind, *number);
        return;
    }
    case ColumnKind::Moment: // as the shop shows it, 2001/5/3 14:05:09
        batch.setText(cell, conv::displayText(kind, value).toUtf8());
        return;
    case ColumnKind::Text:
        break;
    }
    batch.setText(cell, text.toUtf8());
}

bool isShopDatabase(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return file.read(16) == QByteArray("SQLite format 3\0", 16);
}

} // namespace

TableExport::TableExport(RecordSource &source, QList<ExportColumn> columns, const QString &target,
                         Format format, const QString &title)
    : source_(source), columns_(std::move(columns)), target_(QFileInfo(target).absoluteFilePath()) {
    if (isShopDatabase(target_))
        throw DataError(QStringLiteral("%1 is a shop database; a list is never exported over it.")
                            .arg(QFileInfo(target_).fileName()));
    QStringList captions;
    for (const ExportColumn &column : columns_) {
        sourceColumns_ << (source_.isOpen() ? source_.fieldIndex(column.field) : -1);
        kinds_ << column.kind;
        captions << (column.caption.isEmpty() ? column.field : column.caption);
    }

    const QFileInfo info(target_);
    auto temporary = std::make_unique<QTemporaryFile>(info.absolutePath() + QStringLiteral("/.") +
                                                      info.fileName() + QStringLiteral(".XXXXXX"));
    temporary->setAutoRemove(false); // removed by hand unless it became the target
    if (!temporary->open())
        throw DataError(QStringLiteral("The file %1 could not be written: %2")
                            .arg(target_, temporary->errorString()));
    file_ = std::move(temporary);
    try {
        std::unique_ptr<ExportSink> sink;
        if (format == Format::Xlsx)
            sink = std::make_unique<XlsxSink>(*file_, title);
        else
            sink = std::make_unique<CsvSink>(*file_, format == Format::CsvWithByteOrderMark);
        sink->writeCaptions(captions);
        writer_ = std::make_unique<ExportWriter>(std::move(sink),
                                                 static_cast<std::size_t>(columns_.size()));
    } catch (...) {
        discard(); // no destructor runs for an export never made
        throw;
    }
    // A list re-read, or a row added or removed, while it is being written would mix two
    // lists in one file.
    auto changed = [this] { reread_ = true; };
    connections_ << QObject::connect(&source_, &RecordSource::reset, changed)
                 << QObject::connect(&source_, &RecordSource::rowInserted, changed)
                 << QObject::connect(&source_, &RecordSource::rowRemoved, changed);
}

TableExport::~TableExport() {
    for (const QMetaObject::Connection &connection : connections_)
        QObject::disconnect(connection);
    writer_.reset(); // stops the writing before the file goes
    if (!committed_ && file_)
        discard();
}

void TableExport::discard() {
    file_->close();
    QFile::remove(file_->fileName());
}

void TableExport::readRow(int row, ExportBatch &batch) {
    ExportCell *cells = batch.addRow();
    stored_.resize(static_cast<std::size_t>(source_.fieldCount()));
    const bool asStored = source_.storedRow(row, stored_.data());
    for (qsizetype i = 0; i < sourceColumns_.size(); ++i) {
        const int column = sourceColumns_[i];
        if (column < 0)
            continue;
        const ColumnKind kind = kinds_[i].value_or(source_.field(column).kind);
        if (!asStored ||
            !fillStored(batch, cells[i], kind, stored_[static_cast<std::size_t>(column)]))
            fill(batch, cells[i], kind, source_.valueAt(row, column));
    }
}

void TableExport::refuseIfReread() const {
    if (reread_)
        throw DataError(QStringLiteral("The list was read again while it was being exported; "
                                       "export it again."));
}

bool TableExport::step(int rows) {
    refuseIfReread();
    for (int done = 0; done < rows && !allTaken_; ++done) {
        if (!source_.isOpen()) {
            allTaken_ = true;
            break;
        }
        if (written_ >= source_.loadedCount()) {
            if (source_.canFetchMore())
                source_.fetchMore();
            refuseIfReread();
            if (written_ >= source_.loadedCount()) {
                allTaken_ = true;
                break;
            }
        }
        readRow(written_, writer_->batchWithRoom());
        ++written_;
    }
    if (!allTaken_) {
        writer_->handOver(); // the writer never waits on a part batch while rows are read
        return false;
    }
    writer_->finish();
    // Back before long even while the file is being finished, so that progress is drawn.
    return writer_->finished(std::chrono::milliseconds(100));
}

void TableExport::commit() {
    refuseIfReread();
    if (!allTaken_)
        throw DataError(
            QStringLiteral("The file %1 was not finished: rows are missing.").arg(target_));
    writer_->finish();
    while (!writer_->finished(std::chrono::seconds(1))) {
    }
    writer_.reset();
    if (!file_->flush())
        throw DataError(QStringLiteral("The file %1 could not be written: %2")
                            .arg(target_, file_->errorString()));
    file_->close();
    // rename() puts the finished file in the target's place in one step, replacing an
    // earlier file of that name only now.
    if (std::rename(QFile::encodeName(file_->fileName()).constData(),
                    QFile::encodeName(target_).constData()) != 0)
        throw DataError(QStringLiteral("The file %1 could not be written.").arg(target_));
    committed_ = true;
}

bool TableExport::run(RecordSource &source, QList<ExportColumn> columns, const QString &target,
                      Format format, const QString &title, const Progress &progress) {
    TableExport exporter(source, std::move(columns), target, format, title);
    constexpr int rowsPerStep = 20000;
    for (;;) {
        const bool done = exporter.step(rowsPerStep);
        // The rows written, those of the record set read so far, and whether that is all.
        if (progress && !progress(exporter.written_, source.isOpen() ? source.loadedCount() : 0,
                                  !source.isOpen() || !source.canFetchMore()))
            return false;
        if (done)
            break;
    }
    exporter.commit();
    return true;
}
