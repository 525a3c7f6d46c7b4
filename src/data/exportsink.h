// Where an exported list goes: a file format that takes the column captions, then one row of
// typed values at a time, and is put in place only when every row is in.
#pragma once

#include <QStringList>
#include <QVariant>
#include <span>

class ExportSink {
public:
    virtual ~ExportSink() = default;
    virtual void writeCaptions(const QStringList &captions) = 0;
    // One value per column: QDate, QTime, double (money), qlonglong (whole number), text as
    // UTF-8 in a QByteArray, or null for an empty cell.
    virtual void writeRow(std::span<const QVariant> values) = 0;
    // Finishes the file under its temporary name; throws DataError when it cannot.
    virtual void finish() = 0;
};
