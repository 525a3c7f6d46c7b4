// Grid model over a record source; cells are formatted only when the view asks for them.
#include "recordtablemodel.h"

#include "dataerror.h"
#include "recordsource.h"

RecordTableModel::RecordTableModel(RecordSource *source, QList<GridColumn> columns, QObject *parent)
    : QAbstractTableModel(parent), source_(source), columns_(std::move(columns)) {
    for (GridColumn &column : columns_)
        if (column.caption.isEmpty())
            column.caption = column.field;
    rebind();
    connect(source_, &RecordSource::reset, this, &RecordTableModel::rebind);
    connect(source_, &RecordSource::rowsLoaded, this, [this] {
        const int loaded = source_->loadedCount();
        if (loaded > shownRows_) {
            beginInsertRows({}, shownRows_, loaded - 1);
            shownRows_ = loaded;
            endInsertRows();
        }
    });
    connect(source_, &RecordSource::rowInserted, this, [this](int row) {
        beginInsertRows({}, row, row);
        shownRows_ = source_->loadedCount();
        endInsertRows();
    });
    connect(source_, &RecordSource::rowAboutToBeRemoved, this,
            [this](int row) { beginRemoveRows({}, row, row); });
    connect(source_, &RecordSource::rowRemoved, this, [this] {
        shownRows_ = source_->loadedCount();
        endRemoveRows();
    });
    connect(source_, &RecordSource::rowChanged, this, [this](int row) {
        if (row >= 0 && row < rowCount())
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}

void RecordTableModel::rebind() {
    beginResetModel();
    sourceColumn_.clear();
    for (const GridColumn &column : columns_)
        sourceColumn_ << (source_->isOpen() ? source_->fieldIndex(column.field) : -1);
    shownRows_ = source_->isOpen() ? source_->loadedCount() : 0;
    endResetModel();
}

ColumnKind RecordTableModel::columnKind(int column) const {
    if (const auto &own = columns_.value(column).kind)
        return *own;
    const int field = sourceColumn_.value(column, -1);
    return field < 0 ? ColumnKind::Text : source_->field(field).kind;
}

int RecordTableModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

bool RecordTableModel::canFetchMore(const QModelIndex &parent) const {
    return !parent.isValid() && source_->canFetchMore();
}

void RecordTableModel::fetchMore(const QModelIndex &parent) {
    if (parent.isValid())
        return;
    try {
        source_->fetchMore();
    } catch (const DataError &error) {
        source_->reportError(error.description());
    }
}

int RecordTableModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant RecordTableModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const int column = sourceColumn_.value(index.column(), -1);
    if (column < 0 || index.row() >= shownRows_)
        return {};
    return source_->textAt(index.row(), column);
}

bool RecordTableModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    const int column = sourceColumn_.value(index.column(), -1);
    if (readOnly_ || role != Qt::EditRole || column < 0 || columns_[index.column()].readOnly)
        return false;
    try {
        source_->moveTo(index.row()); // editing a line makes it the current row first
        if (source_->textAt(index.row(), column) == value.toString())
            return false;
        source_->setText(column, value.toString());
        return true;
    } catch (const DataError &error) {
        source_->reportError(error.description());
        return false;
    }
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section >= columns_.size())
        return {};
    return columns_[section].caption;
}

Qt::ItemFlags RecordTableModel::flags(const QModelIndex &index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    const int column = sourceColumn_.value(index.column(), -1);
    if (!readOnly_ && column >= 0 && !columns_[index.column()].readOnly &&
        source_->field(column).kind != ColumnKind::AutoNumber)
        flags |= Qt::ItemIsEditable;
    return flags;
}
