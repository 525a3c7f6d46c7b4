// The record source's edits: fields assigned, rows added and deleted, and pending rows
// written back under the saving rule (only the changed fields, by rowid).
#include "recordsource.h"

#include "dataerror.h"

void RecordSource::setValue(const QString &field, const QVariant &value) {
    setValue(columnOf(field), value);
}

const FieldInfo &RecordSource::editableField(int column) const {
    requireColumn(column);
    requireRow();
    const FieldInfo &info = fields_[static_cast<std::size_t>(column)];
    if (info.kind == ColumnKind::AutoNumber)
        throw DataError(QStringLiteral("Field '%1' is numbered by the database and cannot be "
                                       "changed.")
                            .arg(info.name));
    return info;
}

void RecordSource::assign(int column, const QVariant &value, bool typed) {
    const int row = requireRow();
    if (!pending_)
        pending_ = std::make_unique<Pending>(Pending{row, false, {}, {}, {}});
    pending_->values[column] = value;
    pending_->typed[column] = typed;
    pending_->deltas.erase(column);
    emit rowChanged(row);
}

void RecordSource::setValue(int column, const QVariant &value) {
    const FieldInfo &info = editableField(column);
    assign(column, conv::toStorage(info.kind, value, info.name), false);
}

void RecordSource::setText(int column, const QString &text) {
    editableField(column);
    assign(column, text, true);
}

void RecordSource::addTo(const QString &field, double delta) {
    const int column = columnOf(field);
    const int row = requireRow();
    if (!pending_)
        pending_ = std::make_unique<Pending>(Pending{row, false, {}, {}, {}});
    auto assigned = pending_->values.find(column);
    if (assigned != pending_->values.end()) {
        // Already assigned in this edit: add to the assigned value instead.
        const auto base = conv::toNumber(assigned->second);
        assigned->second = base ? QVariant(*base + delta) : QVariant();
    } else {
        pending_->deltas[column] += delta;
    }
    emit rowChanged(row);
}

bool RecordSource::isPendingNew() const {
    return pending_ && pending_->isNew;
}

void RecordSource::addNew() {
    if (!open_)
        throw DataError(QStringLiteral("The record source is not open."));
    leaveRow();
    fetchAll();
    const int row = store_.rowCount();
    store_.append(0, QVariantList());
    pending_ = std::make_unique<Pending>(Pending{row, true, {}, {}, {}});
    emit rowInserted(row);
    setCurrent(row);
}

void RecordSource::save() {
    if (!pending_)
        return;
    const bool blank = isPendingBlank();
    writePending();
    if (blank) // the blank row is gone: the last row stands in its place
        setCurrent(store_.rowCount() > 0 ? store_.rowCount() - 1 : store_.rowCount(),
                   store_.rowCount() > 0 ? Cursor::Row : Cursor::AfterEnd);
}

bool RecordSource::isPendingBlank() const {
    if (!pending_ || !pending_->isNew || !pending_->deltas.empty())
        return false;
    for (const auto &[column, value] : pending_->values)
        if (!value.isNull() && !value.toString().trimmed().isEmpty())
            return false;
    return true;
}

void RecordSource::cancelPending() {
    if (!pending_)
        return;
    const int row = pending_->row;
    const bool isNew = pending_->isNew;
    pending_.reset();
    if (isNew) {
        removeRow(row);
        setCurrent(store_.rowCount(), Cursor::AfterEnd);
    } else {
        emit rowChanged(row);
    }
}

void RecordSource::removeRow(int row) {
    emit rowAboutToBeRemoved(row);
    store_.remove(row);
    emit rowRemoved(row);
}

void RecordSource::writePending() {
    if (isPendingBlank()) {
        // An added row with nothing typed is never stored, whatever leaves it.
        const int row = pending_->row;
        pending_.reset();
        removeRow(row);
        if (cursor_ == Cursor::Row && current_ >= store_.rowCount())
            cursor_ = Cursor::AfterEnd;
        return;
    }
    Pending &edit = *pending_;
    // Convert typed text first: a text that does not convert stops the save, nothing written.
    std::map<int, QVariant> values;
    for (const auto &[column, value] : edit.values) {
        const FieldInfo &info = fields_[static_cast<std::size_t>(column)];
        values[column] = edit.typed[column] ? conv::toStorage(info.kind, value, info.name) : value;
    }

    const RowWriter writer(connection(), table_, fields_);
    qint64 rowid = store_.rowid(edit.row);
    if (edit.isNew) {
        for (const auto &[column, delta] : edit.deltas)
            values.emplace(column, QVariant()); // adding to nothing leaves nothing
        rowid = writer.insert(values);
    } else {
        writer.update(rowid, values, edit.deltas);
    }
    const int row = edit.row;
    const QVariantList stored = writer.reread(rowid);
    pending_.reset();
    if (!stored.isEmpty())
        store_.replace(row, rowid, stored);
    emit rowChanged(row);
}

void RecordSource::forgetStored(qint64 rowid) {
    for (int row = 0; row < store_.rowCount(); ++row)
        if (store_.rowid(row) == rowid) {
            if (pending_ && pending_->row == row)
                pending_.reset();
            else if (pending_ && pending_->row > row)
                --pending_->row;
            const bool wasCurrent = currentRow() == row;
            removeRow(row);
            if (wasCurrent)
                setCurrent(row, Cursor::Deleted);
            else if (current_ > row)
                setCurrent(current_ - 1, cursor_);
            return;
        }
}

void RecordSource::deleteCurrent() {
    const int row = requireRow();
    if (pending_ && pending_->isNew && pending_->row == row) {
        pending_.reset(); // never written: nothing to delete in the table
    } else {
        RowWriter(connection(), table_, fields_).remove(store_.rowid(row));
        pending_.reset();
    }
    removeRow(row);
    setCurrent(row, Cursor::Deleted);
}
