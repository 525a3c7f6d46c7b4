// What a database engine offers the connection and its statements: the shop runs on an
// embedded SQLite file or on a PostgreSQL server, behind the same Connection and Statement.
#pragma once

#include "conversions.h"
#include "sqldialect.h"

#include <QString>
#include <QVariant>
#include <cstddef>
#include <memory>
#include <vector>

// How a value handed to the database is stored, the same on both engines and in the record
// set's rows: nothing, a whole number, a real number, or text (dates and times go as text).
enum class StoredAs { Null, Whole, Real, Text };

inline StoredAs storedAs(const QVariant &value) {
    if (!value.isValid() || value.isNull())
        return StoredAs::Null;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::Bool:
        return StoredAs::Whole;
    case QMetaType::Double:
    case QMetaType::Float:
        return StoredAs::Real;
    default:
        return StoredAs::Text;
    }
}

// Takes a row's cells one after another as the engine holds them, without a QVariant made of
// each: a record set of millions of rows is read this way.
class CellSink {
public:
    virtual void null() = 0;
    virtual void whole(qint64 value) = 0;
    virtual void real(double value) = 0;
    // UTF-8 bytes, valid only during the call. Dates and times come as text.
    virtual void text(const char *utf8, std::size_t size) = 0;

protected:
    ~CellSink() = default;
};

class StatementEngine {
public:
    virtual ~StatementEngine() = default;
    virtual void bind(int index, const QVariant &value) = 0;
    virtual bool step() = 0;
    virtual void reset() = 0;
    virtual int columnCount() = 0;
    virtual QVariant value(int column) const = 0;
    // The current row's cells from column `from` to the last, in order, with the values
    // value() gives.
    virtual void readCells(int from, CellSink &sink) const = 0;
};

// A column of a table as the engine's catalogue describes it.
struct TableColumn {
    QString name; // as the shop spells it
    ColumnKind kind;
    bool key = false; // the table's primary key
};

// How an engine behaves where the code above it must take it into account.
struct EngineTraits {
    // A result not yet read to its end holds a statement open on the engine (a server), so a
    // screen left alone should read the rest rather than keep it open for hours.
    bool holdsUnreadResults = false;
};

class ConnectionEngine {
public:
    virtual ~ConnectionEngine() = default;
    virtual std::unique_ptr<StatementEngine> prepare(const EngineSql &sql) = 0;
    virtual void exec(const EngineSql &sql) = 0;
    // Begins a transaction that takes the write lock at once.
    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() noexcept = 0;
    virtual int changes() const = 0;
    // The table's columns in their order, from the engine's catalogue; none when there is no
    // such table. Throws DataError.
    virtual std::vector<TableColumn> columnsOf(const QString &table) = 0;
    virtual EngineTraits traits() const = 0;
    // Transactions this connection has committed, each write outside one counted as one (for
    // the benchmarks).
    virtual qint64 commits() const = 0;
};
