// Table model over a record source: one line per row in record-set order, one column per
// listed field. Formats only the cells the view asks for, so a large set costs nothing more.
#pragma once

#include "tabledescription.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <optional>

class RecordSource;

struct GridColumn {
    QString field;        // field name in the record source
    QString caption = {}; // column heading; the field name when empty
    // What the column holds where the field's own kind says less: a whole number kept as
    // text (the top sellers' copies) is printed and exported as a number.
    std::optional<ColumnKind> kind = {};
    // Shown but never typed into, in a grid whose other columns are edited.
    bool readOnly = false;
};

// A grid column for each of these table columns, in their order, headed by its name.
inline QList<GridColumn> gridColumns(std::span<const Column> columns) {
    QList<GridColumn> result;
    for (const Column &column : columns)
        result.append({column});
    return result;
}

class RecordTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    RecordTableModel(RecordSource *source, QList<GridColumn> columns, QObject *parent = nullptr);

    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool isReadOnly() const { return readOnly_; }
    // Re-reads column positions after the source ran a new text, and resets the view.
    void rebind();
    RecordSource *source() const { return source_; }
    const QList<GridColumn> &columns() const { return columns_; }
    // The kind of what a column shows: its own where it names one, else its field's (text
    // where the record set has no such field).
    ColumnKind columnKind(int column) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    RecordSource *source_;
    QList<GridColumn> columns_;
    QList<int> sourceColumn_; // -1 when the result has no such field
    bool readOnly_ = false;
    int shownRows_ = 0; // rows the view knows of: the source's rows read so far
};
