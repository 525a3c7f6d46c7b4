// Writing one row of a record set back to its table: by rowid, only the fields given, and an
// amount added to the stored value rather than a copy of it written back.
#pragma once

#include "conversions.h"

#include <QString>
#include <QVariant>
#include <map>
#include <vector>

class Connection;

struct FieldInfo {
    QString name;    // as the table declares it ("Invoice Date")
    ColumnKind kind; // from the declared type
};

class RowWriter {
public:
    RowWriter(Connection &connection, const QString &table, const std::vector<FieldInfo> &fields)
        : conn_(connection), table_(table), fields_(fields) {}

    // Adds a row with these columns set (stored values by column); returns its rowid.
    qint64 insert(const std::map<int, QVariant> &values) const;
    // Sets these columns and adds the deltas to the stored amounts; throws DataError when the
    // row is no longer there.
    void update(qint64 rowid, const std::map<int, QVariant> &values,
                const std::map<int, double> &deltas) const;
    // The row's columns as stored now; empty when it is gone.
    QVariantList reread(qint64 rowid) const;
    void remove(qint64 rowid) const;

private:
    QString name(int column) const;

    Connection &conn_;
    QString table_;
    const std::vector<FieldInfo> &fields_;
};
