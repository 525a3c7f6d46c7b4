// The record source: runs its text, holds the record set, moves, finds and reads fields; its
// edits are in recordsourceedits.cpp.
#include "recordsource.h"

#include "cancelled.h"
#include "connection.h"
#include "dataerror.h"
#include "engine.h"
#include "shopsession.h"
#include "sqldialect.h"

#include <limits>

namespace {

const char *const noCurrentRow = "Either BOF or EOF is True, or the current record has been "
                                 "deleted. Requested operation requires a current record.";

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
    idleRead_.setSingleShot(true);
    connect(&idleRead_, &QTimer::timeout, this, &RecordSource::readRestWhileIdle);
}

RecordSource::RecordSource(const QString &objectName, const ShopDatabase &shop, QObject *parent)
    : RecordSource(objectName, ShopSession::open(shop), parent) {}

RecordSource::~RecordSource() {
    unread_.reset(); // before the session's connection may close
    session_->detach(this);
}

Connection &RecordSource::connection() {
    fetchAll();
    return session_->connection();
}

Connection &RecordSource::readingConnection() {
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

void RecordSource::open(const QString &recordSourceText, const QVariantList &values) {
    text_ = recordSourceText;
    values_ = values;
    built_.reset();
    requery();
}

void RecordSource::open(const RecordSourceSql &query, const QVariantList &values) {
    text_.clear();
    built_ = std::make_shared<const RecordSourceSql>(query);
    values_ = values;
    requery();
}

void RecordSource::requery() {
    leaveRow(); // a re-read must never drop what the operator typed
    unread_.reset();
    Connection &conn = session_->connection();
    const std::shared_ptr<const RecordSourceSql> query =
        built_ ? built_ : conn.recordSource(text_, static_cast<int>(values_.size()));
    // A re-query of the same table needs no second look at the shop's catalogue.
    if (query->table != table_) {
        if (conn.columnsOf(query->table).empty())
            throw DataError(QStringLiteral("The table '%1' does not exist in the shop database.")
                                .arg(query->table));
        table_ = query->table;
    }
    auto stmt = std::make_unique<Statement>(conn.prepare(query->sql));
    stmt->bindAll(values_);
    fields_.clear();
    for (const Column &column : query->fields)
        fields_.push_back({column, column.kind});

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
                store_.appendFromStatement(*unread_);
        }
    } catch (const DataError &) {
        unread_.reset(); // what was read stays; the failure is the caller's to report
        throw;
    }
    // On a server a result still being read holds a statement open there: a screen left
    // alone reads its rest a batch at a time, so that a till left overnight holds nothing.
    if (unread_ && session_->connection().traits().holdsUnreadResults)
        idleRead_.start(idleReadDelayMs);
    else
        idleRead_.stop();
}

void RecordSource::readRestWhileIdle() {
    try {
        fetchMore();
    } catch (const DataError &error) {
        emit dataError(error.description());
        return;
    }
    if (unread_)
        idleRead_.start(0);
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

bool RecordSource::isEof() const {
    return store_.rowCount() == 0 || cursor_ == Cursor::AfterEnd;
}

bool RecordSource::isBof() const {
    return store_.rowCount() == 0 || cursor_ == Cursor::BeforeStart;
}

int RecordSource::position() const {
    if (cursor_ == Cursor::Row)
        return current_ + 1;
    if (cursor_ == Cursor::Deleted || store_.rowCount() == 0)
        return PositionUnknown;
    return cursor_ == Cursor::BeforeStart ? PositionBeforeStart : PositionAfterEnd;
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
    // From the current row, or after a delete the one that moved up into its place.
    const int from = cursor_ == Cursor::BeforeStart ? 0
                     : cursor_ == Cursor::AfterEnd  ? store_.rowCount()
                                                    : std::max(current_, 0);
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

void RecordSource::requireColumn(int column) const {
    if (column < 0 || column >= fieldCount())
        throw DataError(QStringLiteral("There is no field at position %1.").arg(column));
}

int RecordSource::requireRow() const {
    if (cursor_ != Cursor::Row || current_ < 0 || current_ >= store_.rowCount())
        throw DataError(QString::fromLatin1(noCurrentRow));
    return current_;
}

bool RecordSource::storedRow(int row, RowStore::Stored *cells) const {
    if ((pending_ && pending_->row == row) || row < 0 || row >= store_.rowCount())
        return false;
    store_.storedRow(row, cells);
    return true;
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
    requireColumn(column);
    return valueAt(requireRow(), column);
}

QString RecordSource::text(const QString &field) const {
    return text(columnOf(field));
}

QString RecordSource::text(int column) const {
    requireColumn(column);
    return textAt(requireRow(), column);
}
