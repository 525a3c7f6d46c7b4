// A record source: its screen's session with the shop database, a record-source text in the
// shop's query dialect, and the record set it yields (ordered rows, one current row, at
// most one row with pending changes). The saving rule lives here, not in the screens: a
// pending row is written when saved, when the record set moves off it, and when another
// new row is added.
#pragma once

#include "conversions.h"
#include "rowstore.h"
#include "rowwriter.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <QVariant>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class Connection;
class ShopDatabase;
class ShopSession;
class Statement;
struct RecordSourceSql;

class RecordSource : public QObject {
    Q_OBJECT
public:
    // Position values reported when there is no current row.
    static constexpr int PositionUnknown = -1;
    static constexpr int PositionBeforeStart = -2;
    static constexpr int PositionAfterEnd = -3;

    // On the screen's session, sharing its connection.
    RecordSource(const QString &objectName, std::shared_ptr<ShopSession> session,
                 QObject *parent = nullptr);
    // On a session of its own.
    RecordSource(const QString &objectName, const ShopDatabase &shop, QObject *parent = nullptr);
    ~RecordSource() override;

    // Opens the connection (first time) and runs the text; throws DataError. Its conditions
    // may compare with ?1, ?2 ... bound to these values: the text is the same whatever the
    // values, so the connection reads it once (a lookup at the counter). It is read again with
    // the same values.
    void open(const QString &recordSourceText, const QVariantList &values = {});
    // Opens on a query the shop's dialect built (a search), its values bound; it is read again
    // as it was first run. Throws DataError.
    void open(const RecordSourceSql &query, const QVariantList &values);
    QString recordSourceText() const { return text_; }
    bool isOpen() const { return open_; }
    // Runs the record-source text again; the first row becomes current. Throws DataError.
    void requery();
    // Reads the text again after the rows were changed elsewhere: the current row stays
    // current where it still is; when it is gone no row is current. Throws DataError.
    void refresh();

    // Navigation. A move saves a pending row first; if that save fails the move does not
    // happen and DataError is thrown.
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    // Makes the row at this 0-based index current (grid selection).
    void moveTo(int row);
    // Makes the row the table stores under this rowid current; false, and no move, when the
    // record set does not hold it.
    bool moveToStored(qint64 rowid);
    // The row stored under this rowid was deleted elsewhere: it leaves the record set as a
    // deleted row does (no row is current when it was the current one).
    void forgetStored(qint64 rowid);
    bool isEof() const;
    bool isBof() const;
    // Open, and neither before the first row nor after the last: a row is chosen.
    bool hasCurrentRow() const { return open_ && !isEof() && !isBof(); }
    // Number of rows of the result (reads what is still unread first).
    int recordCount();
    // A large result is read a screenful at a time, the rest as the grid scrolls or as soon as
    // anything needs every row (count, move last, find, a write).
    int loadedCount() const { return store_.rowCount(); }
    bool canFetchMore() const { return unread_ != nullptr; }
    void fetchMore();
    // Reads the rest of the result. A long read tells the read progress (below) as it goes;
    // when that says stop, Cancelled is thrown and the rows read so far stay (the rest can
    // still be read later).
    void fetchAll();
    // Told the rows read so far every few thousand rows of a long read, and once more with
    // `finished` set when it ends; returns false to stop the read.
    using ReadProgress = std::function<bool(int rowsRead, bool finished)>;
    void setReadProgress(ReadProgress progress) { readProgress_ = std::move(progress); }
    // 1 for the first row; a negative PositionXxx value when there is no current row.
    int position() const;
    // 0-based index of the current row, or -1 when there is none.
    int currentRow() const;

    // From the current row on, the first row whose field equals the value (as text); end of
    // set when none.
    void find(const QString &field, const QVariant &value);

    // Fields of the result, in column order; names are matched without regard to case.
    int fieldCount() const { return static_cast<int>(fields_.size()); }
    const FieldInfo &field(int column) const { return fields_[static_cast<std::size_t>(column)]; }
    int fieldIndex(const QString &name) const; // -1 when there is no such field
    QString tableName() const { return table_; }

    // Current row access. Throws DataError when there is no current row.
    QVariant value(const QString &field) const;
    QVariant value(int column) const;
    QString text(const QString &field) const; // as shown: "2001/5/3", "37.5"
    QString text(int column) const;
    // Sum over every row of a × b, leaving out rows where either is empty: takings of a list
    // of sales, without a second trip to the database.
    double sumOfProducts(const QString &fieldA, const QString &fieldB);
    // How the table stores a row (0-based index) of the result: the shop's operations take it.
    qint64 rowid(int row) {
        ensureLoaded(row);
        return store_.rowid(row);
    }
    // Cell of any row, for grids (pending values of that row included).
    QVariant valueAt(int row, int column) const;
    // Every cell of a loaded row as it is kept (fieldCount() of them), for an export that reads
    // millions; false for a row with edits not yet saved, whose cells valueAt() gives.
    bool storedRow(int row, RowStore::Stored *cells) const;
    QString textAt(int row, int column) const;

    // Assigns a value, converting it now (throws DataError when it does not convert). The
    // row becomes pending.
    void setValue(const QString &field, const QVariant &value);
    void setValue(int column, const QVariant &value);
    // Assigns typed text without converting it yet (bound boxes, grid cells): conversion
    // happens at save, where a bad text is a data error.
    void setText(int column, const QString &text);
    // Adds to the stored amount when saved (Qty = Qty + delta), never writing back a stale
    // copy of the field.
    void addTo(const QString &field, double delta);

    void addNew();
    // Writes the pending row, if any. Throws DataError; the row stays pending then.
    void save();
    bool hasPending() const { return pending_ != nullptr; }
    bool isPendingNew() const;
    // An added row in which nothing but blanks was typed: saving drops it instead.
    bool isPendingBlank() const;
    // Forgets the pending changes of the current row.
    void cancelPending();
    // Deletes the current row from the table at once; no row is current until the next move.
    void deleteCurrent();

    // The session's connection, for reading beside the record set; the result is read to its
    // end first, so that no half-read statement stands in the way of a write.
    Connection &connection();
    // The same connection for a query of its own beside the record set (a total), without
    // reading the rest of the result first. Never for a write.
    Connection &readingConnection();

    // A control bound to this record set met a failure outside any call of the screen (a
    // move or an edit of its own): the record set tells it as its own data error.
    void reportError(const QString &description) { emit dataError(description); }

    // The session, for the screen's other record sets and its operations.
    const std::shared_ptr<ShopSession> &session() const { return session_; }

    std::size_t bytesUsed() const { return store_.bytesUsed(); }

signals:
    // More rows of the result were read (appended at the end).
    void rowsLoaded();
    // The current row changed (open, requery, moves, add, delete).
    void moved();
    // The rows were replaced (open, requery).
    void reset();
    void rowInserted(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    // A failure met outside any call of the screen (a save on a grid or navigator move).
    void dataError(const QString &description);

private:
    struct Pending {
        int row = -1;
        bool isNew = false;
        std::map<int, QVariant> values; // column -> assigned value (or typed text)
        std::map<int, bool> typed;      // column -> value is unconverted typed text
        std::map<int, double> deltas;   // column -> amount to add to the stored value
    };
    enum class Cursor { Row, BeforeStart, AfterEnd, Deleted };

    void leaveRow(); // saves the pending row before a move; throws
    void setCurrent(int row, Cursor cursor = Cursor::Row);
    void readRows(int count);
    void ensureLoaded(int row);
    int requireRow() const;
    // Throws DataError when the result has no field at `column`.
    void requireColumn(int column) const;
    // The field at `column` when the current row may be changed in it; throws otherwise.
    const FieldInfo &editableField(int column) const;
    // A new value of a field of the current row, kept until the row is saved.
    void assign(int column, const QVariant &value, bool typed);
    int columnOf(const QString &field) const;
    void writePending();
    void removeRow(int row);
    void readRestWhileIdle();

    std::shared_ptr<ShopSession> session_;
    QString text_;
    // A built query, run in the place of the text.
    std::shared_ptr<const RecordSourceSql> built_;
    QVariantList values_; // bound to the text's or the built query's parameters
    QString table_;
    std::vector<FieldInfo> fields_;
    RowStore store_;
    std::unique_ptr<Statement> unread_; // the rest of a large result, not yet read
    ReadProgress readProgress_;
    int current_ = -1;
    Cursor cursor_ = Cursor::AfterEnd;
    std::unique_ptr<Pending> pending_;
    bool open_ = false;
    static constexpr int idleReadDelayMs = 5000;
    QTimer idleRead_;
};
