// The record source: runs its text, holds the record set, moves, finds, and writes rows
// back under the saving rule.
#include "recordsource.h"

#include "cancelled.h"
#include "connection.h"
#include "dataerror.h"
#include "dialect.h"
#include "rowwriter.h"
#include "shopsession.h"

#include <limits>
#include <sqlite3.h>

namespace {

const char *const noCurrentRow = "Either BOF or EOF is True, or the current record has been "
                                 "deleted. Requested operation requires a current record.";

QString bracket(const QString &name) {
    return QLatin1Char('[') + name + QLatin1Char(']');
}

// Rows read when a result opens (several screenfuls) and at each later step.
constexpr int firstRows = 500;
constexpr int moreRows = 5000;
// Rows read between two reports of a long read's progress.
constexpr int progressRows = 50000;

} // namespace

RecordSource::RecordSource(const QString &objectName, std::shared_ptr<ShopSession> session,
                           QObject *parent)
    : QObject(parent), session_(std::move(session)) {
    setObjectName(objectName);
    session_->attach(this);
}

RecordSource::RecordSource(const QString &objectName, const QString &databasePath, QObject *parent)
    : RecordSource(objectName, ShopSession::open(databasePath), parent) {}

RecordSource::~RecordSource() {
    unread_.reset(); // before the session's connection may close
    session_->detach(this);
}

Connection &RecordSource::connection() {
    fetchAll();
    return openConnection();
}

Connection &RecordSource::openConnection() {
    return session_->connection();
}

void RecordSource::refresh() {
    const int row = currentRow();
    const qint64 rowid = row >= 0 ? store_.rowid(row) : 0;
    requery();
    if (row >= 0 && !moveToStored(rowid))
        setCurrent(std::min(row, store_.rowCount()), Cursor::Deleted);
}

bool RecordSource::moveToStored(qint64 rowid) {
    leaveRow();
    // Rows are read only as far as the row is found: a long list costs no more than before.
    for (int i = 0; i < store_.rowCount() || canFetchMore(); ++i) {
        ensureLoaded(i);
        if (i < store_.rowCount() && store_.rowid(i) == rowid) {
            setCurrent(i);
            return true;
        }
    }
    return false;
}

void RecordSource::open(const QString &recordSourceText) {
    text_ = recordSourceText;
    requery();
}

void RecordSource::requery() {
    if (pending_)
        writePending(); // a re-read must never drop what the operator typed
    unread_.reset();
    // A re-query of the same table needs no second look at its columns.
    auto knowTable = [this](const QString &table) {
        if (table.compare(table_, Qt::CaseInsensitive) != 0 || primaryKeys_.empty()) {
            readTableInfo(table);
            table_ = table;
        }
    };
    const TranslatedQuery query =
        dialect::translate(text_, [&](const QString &table, const QString &column) {
            knowTable(table);
            return textColumns_.count(column.toLower()) > 0;
        });
    Connection &conn = openConnection();
    knowTable(query.table);
    auto stmt = std::make_unique<Statement>(conn.prepare(query.sql));
    readFields(*stmt);

    store_ = RowStore(fieldCount());
    unread_ = std::move(stmt);
    readRows(firstRows);
    open_ = true;
    if (store_.rowCount() > 0)
        current_ = 0, cursor_ = Cursor::Row;
    else
        current_ = -1, cursor_ = Cursor::AfterEnd;
    emit reset();
    emit moved();
}

void RecordSource::readRows(int count) {
    try {
        for (int read = 0; unread_ && read < count; ++read) {
            if (!unread_->step())
                unread_.reset();
            else
                store_.appendFromStatement(unread_->handle());
        }
    } catch (const DataError &) {
        unread_.reset(); // what was read stays; the failure is the caller's to report
        throw;
    }
}

void RecordSource::fetchMore() {
    if (!unread_)
        return;
    readRows(moreRows);
    emit rowsLoaded();
}

void RecordSource::fetchAll() {
    if (!unread_)
        return;
    if (!readProgress_) {
        readRows(std::numeric_limits<int>::max());
        emit rowsLoaded();
        return;
    }
    // Tells the progress between batches; the grid hears of the new rows once, at the end
    // (or when the read is stopped), so that it is not re-laid out for every batch.
    struct Done {
        RecordSource *source;
        ~Done() {
            source->readProgress_(source->store_.rowCount(), true);
            emit source->rowsLoaded();
        }
    } done{this};
    while (unread_) {
        readRows(progressRows);
        if (unread_ && !readProgress_(store_.rowCount(), false))
            throw Cancelled(QStringLiteral("Reading the rows was stopped after %1 of them.")
                                .arg(store_.rowCount()));
    }
}

void RecordSource::ensureLoaded(int row) {
    while (unread_ && row >= store_.rowCount())
        fetchMore();
}

int RecordSource::recordCount() {
    fetchAll();
    return store_.rowCount();
}

void RecordSource::readTableInfo(const QString &table) {
    std::map<QString, bool> primaryKeys;
    std::set<QString> textColumns;
    Statement info =
        openConnection().prepare(QStringLiteral("PRAGMA table_info(%1)").arg(bracket(table)));
    while (info.step()) {
        const QString name = info.value(1).toString().toLower();
        primaryKeys[name] = info.value(5).toInt() != 0;
        if (conv::kindFromDeclaredType(info.value(2).toString(), primaryKeys[name]) ==
            ColumnKind::Text)
            textColumns.insert(name);
    }
    if (primaryKeys.empty())
        throw DataError(
            QStringLiteral("The table '%1' does not exist in the shop database.").arg(table));
    primaryKeys_ = std::move(primaryKeys);
    textColumns_ = std::move(textColumns);
}

void RecordSource::readFields(const Statement &stmt) {
    fields_.clear();
    for (int column = 1; column < stmt.columnCount(); ++column) {
        const char *declared = sqlite3_column_decltype(stmt.handle(), column);
        const QString name = stmt.columnName(column);
        const auto key = primaryKeys_.find(name.toLower());
        fields_.push_back(
            {name, conv::kindFromDeclaredType(QString::fromUtf8(declared),
                                              key != primaryKeys_.end() && key->second)});
    }
}

bool RecordSource::isEof() const {
    return store_.rowCount() == 0 || cursor_ == Cursor::AfterEnd;
}

bool RecordSource::isBof() const {
    return store_.rowCount() == 0 || cursor_ == Cursor::BeforeStart;
}

int RecordSource::position() const {
    switch (cursor_) {
    case Cursor::Row:
        return current_ + 1;
    case Cursor::BeforeStart:
        return store_.rowCount() == 0 ? PositionUnknown : PositionBeforeStart;
    case Cursor::AfterEnd:
        return store_.rowCount() == 0 ? PositionUnknown : PositionAfterEnd;
    case Cursor::Deleted:
        return PositionUnknown;
    }
    return PositionUnknown;
}

int RecordSource::currentRow() const {
    return cursor_ == Cursor::Row ? current_ : -1;
}

void RecordSource::setCurrent(int row, Cursor cursor) {
    current_ = row;
    cursor_ = cursor;
    emit moved();
}

void RecordSource::leaveRow() {
    emit aboutToChangeRow();
    if (pending_)
        writePending();
}

void RecordSource::moveFirst() {
    if (store_.rowCount() == 0)
        throw DataError(QString::fromLatin1(noCurrentRow));
    leaveRow();
    setCurrent(0);
}

void RecordSource::moveLast() {
    fetchAll();
    if (store_.rowCount() == 0)
        throw DataError(QString::fromLatin1(noCurrentRow));
    leaveRow();
    setCurrent(store_.rowCount() - 1);
}

void RecordSource::moveNext() {
    if (cursor_ != Cursor::Deleted && isEof())
        throw DataError(QString::fromLatin1(noCurrentRow));
    leaveRow();
    // After a delete the following row has moved up into the deleted row's place.
    const int next = cursor_ == Cursor::BeforeStart ? 0
                     : cursor_ == Cursor::Deleted   ? current_
                                                    : current_ + 1;
    ensureLoaded(next);
    if (next >= store_.rowCount())
        setCurrent(store_.rowCount(), Cursor::AfterEnd);
    else
        setCurrent(next);
}

void RecordSource::movePrevious() {
    if (cursor_ != Cursor::Deleted && isBof())
        throw DataError(QString::fromLatin1(noCurrentRow));
    leaveRow();
    const int previous = cursor_ == Cursor::AfterEnd ? store_.rowCount() - 1 : current_ - 1;
    if (previous < 0)
        setCurrent(-1, Cursor::BeforeStart);
    else
        setCurrent(previous);
}

void RecordSource::moveTo(int row) {
    ensureLoaded(row);
    if (row < 0 || row >= store_.rowCount())
        throw DataError(QString::fromLatin1(noCurrentRow));
    if (cursor_ == Cursor::Row && row == current_)
        return;
    leaveRow();
    setCurrent(row);
}

void RecordSource::find(const QString &field, const QVariant &value) {
    const int column = columnOf(field);
    leaveRow();
    fetchAll();
    const QString wanted = value.toString();
    int from = cursor_ == Cursor::Row ? current_ : cursor_ == Cursor::BeforeStart ? 0 : -1;
    if (cursor_ == Cursor::Deleted)
        from = current_;
    if (from >= 0) {
        const ColumnKind kind = fields_[static_cast<std::size_t>(column)].kind;
        for (int row = from; row < store_.rowCount(); ++row) {
            const QVariant cell = store_.cell(row, column);
            if (cell.isNull() || !cell.isValid())
                continue;
            if (cell.toString() == wanted || conv::displayText(kind, cell) == wanted) {
                setCurrent(row);
                return;
            }
        }
    }
    setCurrent(store_.rowCount(), Cursor::AfterEnd);
}

int RecordSource::fieldIndex(const QString &name) const {
    for (int i = 0; i < fieldCount(); ++i)
        if (fields_[static_cast<std::size_t>(i)].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int RecordSource::columnOf(const QString &field) const {
    const int column = fieldIndex(field);
    if (column < 0)
        throw DataError(
            QStringLiteral("Item cannot be found in the collection corresponding to the "
                           "requested name or ordinal: '%1'.")
                .arg(field));
    return column;
}

int RecordSource::requireRow() const {
    if (cursor_ != Cursor::Row || current_ < 0 || current_ >= store_.rowCount())
        throw DataError(QString::fromLatin1(noCurrentRow));
    return current_;
}

QVariant RecordSource::valueAt(int row, int column) const {
    if (pending_ && pending_->row == row) {
        auto it = pending_->values.find(column);
        if (it != pending_->values.end())
            return it->second;
        auto delta = pending_->deltas.find(column);
        if (delta != pending_->deltas.end()) {
            const auto base = conv::toNumber(store_.cell(row, column));
            return base ? QVariant(*base + delta->second) : QVariant();
        }
    }
    return store_.cell(row, column);
}

QString RecordSource::textAt(int row, int column) const {
    if (pending_ && pending_->row == row) {
        auto typed = pending_->typed.find(column);
        if (typed != pending_->typed.end() && typed->second)
            return pending_->values.at(column).toString();
    }
    return conv::displayText(fields_[static_cast<std::size_t>(column)].kind, valueAt(row, column));
}

double RecordSource::sumOfProducts(const QString &fieldA, const QString &fieldB) {
    const int a = columnOf(fieldA);
    const int b = columnOf(fieldB);
    const int pendingRow = pending_ ? pending_->row : -1;
    fetchAll();
    double sum = store_.sumOfProducts(a, b, pendingRow);
    if (pendingRow >= 0) {
        const auto x = conv::toNumber(valueAt(pendingRow, a));
        const auto y = conv::toNumber(valueAt(pendingRow, b));
        if (x && y)
            sum += *x * *y;
    }
    return sum;
}

QVariant RecordSource::value(const QString &field) const {
    return value(columnOf(field));
}

QVariant RecordSource::value(int column) const {
    if (column < 0 || column >= fieldCount())
        throw DataError(QStringLiteral("There is no field at position %1.").arg(column));
    return valueAt(requireRow(), column);
}

QString RecordSource::text(const QString &field) const {
    return text(columnOf(field));
}

QString RecordSource::text(int column) const {
    if (column < 0 || column >= fieldCount())
        throw DataError(QStringLiteral("There is no field at position %1.").arg(column));
    return textAt(requireRow(), column);
}

void RecordSource::setValue(const QString &field, const QVariant &value) {
    setValue(columnOf(field), value);
}

void RecordSource::setValue(int column, const QVariant &value) {
    if (column < 0 || column >= fieldCount())
        throw DataError(QStringLiteral("There is no field at position %1.").arg(column));
    const int row = requireRow();
    const FieldInfo &info = fields_[static_cast<std::size_t>(column)];
    if (info.kind == ColumnKind::AutoNumber)
        throw DataError(QStringLiteral("Field '%1' is numbered by the database and cannot be "
                                       "changed.")
                            .arg(info.name));
    const QVariant stored = conv::toStorage(info.kind, value, info.name);
    if (!pending_)
        pending_ = std::make_unique<Pending>(Pending{row, false, {}, {}, {}});
    pending_->values[column] = stored;
    pending_->typed[column] = false;
    pending_->deltas.erase(column);
    emit rowChanged(row);
}

void RecordSource::setText(int column, const QString &text) {
    if (column < 0 || column >= fieldCount())
        throw DataError(QStringLiteral("There is no field at position %1.").arg(column));
    const int row = requireRow();
    if (fields_[static_cast<std::size_t>(column)].kind == ColumnKind::AutoNumber)
        throw DataError(QStringLiteral("Field '%1' is numbered by the database and cannot be "
                                       "changed.")
                            .arg(fields_[static_cast<std::size_t>(column)].name));
    if (!pending_)
        pending_ = std::make_unique<Pending>(Pending{row, false, {}, {}, {}});
    pending_->values[column] = text;
    pending_->typed[column] = true;
    pending_->deltas.erase(column);
    emit rowChanged(row);
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
        emit rowAboutToBeRemoved(row);
        store_.remove(row);
        emit rowRemoved(row);
        setCurrent(store_.rowCount(), Cursor::AfterEnd);
    } else {
        emit rowChanged(row);
    }
}

void RecordSource::writePending() {
    if (isPendingBlank()) {
        // An added row with nothing typed is never stored, whatever leaves it.
        const int row = pending_->row;
        pending_.reset();
        emit rowAboutToBeRemoved(row);
        store_.remove(row);
        emit rowRemoved(row);
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
            emit rowAboutToBeRemoved(row);
            store_.remove(row);
            emit rowRemoved(row);
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
    emit rowAboutToBeRemoved(row);
    store_.remove(row);
    emit rowRemoved(row);
    setCurrent(row, Cursor::Deleted);
}
