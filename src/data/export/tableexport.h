// Exports the whole record set of a list (every row, read to its end as it goes, not only the
// rows a grid has shown) to a CSV file or an Excel workbook. The file is written under a
// temporary name beside the target and takes the target's name only when every row is in, so
// an export that is cancelled or fails leaves no half-written file and any earlier file of
// that name as it was.
#pragma once

#include "conversions.h"
#include "rowstore.h"

#include <QList>
#include <QMetaObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ExportBatch;
class ExportWriter;
class QFile;
class RecordSource;

struct ExportColumn {
    QString field;   // field of the record source; a missing field gives empty cells
    QString caption; // heading as the grid shows it
    // The cells' kind where the field's own says less (a whole number kept as text).
    std::optional<ColumnKind> kind = {};
};

class TableExport {
public:
    enum class Format { Csv, CsvWithByteOrderMark, Xlsx };

    // Opens the temporary file beside `target`; throws DataError when it cannot, or when the
    // target is a shop database, which an export must never overwrite. `title` names the
    // workbook's sheets.
    TableExport(RecordSource &source, QList<ExportColumn> columns, const QString &target,
                Format format, const QString &title = QString());
    ~TableExport(); // an export not committed leaves nothing behind
    TableExport(const TableExport &) = delete;
    TableExport &operator=(const TableExport &) = delete;

    // Takes up to `rows` more rows into the file, reading more of the record set when needed;
    // they are written on a thread of their own. True once every row is written and the file
    // finished. Throws DataError (also when the list is re-read meanwhile).
    bool step(int rows);
    // Waits for the file to be finished and gives it the target's name. Throws DataError.
    void commit();

    // The whole export in one call. `progress` (written, known, all known) is asked after
    // each step and cancels the export by returning false. True when the file is in place,
    // false when cancelled; throws DataError on failure.
    using Progress = std::function<bool(int written, int known, bool allKnown)>;
    static bool run(RecordSource &source, QList<ExportColumn> columns, const QString &target,
                    Format format, const QString &title, const Progress &progress);

private:
    // Removes the temporary file.
    void discard();
    void readRow(int row, ExportBatch &batch);
    // Throws once the list has been read again under the export.
    void refuseIfReread() const;

    RecordSource &source_;
    QList<ExportColumn> columns_;
    QList<int> sourceColumns_;
    QList<std::optional<ColumnKind>> kinds_; // a column's own kind, where it has one
    std::vector<RowStore::Stored> stored_;   // the row being read, every field of it
    QString target_;
    std::unique_ptr<QFile> file_; // the temporary file
    std::unique_ptr<ExportWriter> writer_;
    int written_ = 0;
    bool allTaken_ = false;
    bool committed_ = false;
    bool reread_ = false;
    QList<QMetaObject::Connection> connections_;
};
