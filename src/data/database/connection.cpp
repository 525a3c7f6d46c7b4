// The connection and statement the data layer uses, on whichever engine holds the shop.
#include "connection.h"

#include "engine.h"

namespace {
int busyTimeoutMs = 15000;
} // namespace

Connection::Connection(const QString &location, std::unique_ptr<ConnectionEngine> engine)
    : location_(location), engine_(std::move(engine)) {}

Connection::~Connection() = default;
Connection::Connection(Connection &&other) noexcept = default;
Connection &Connection::operator=(Connection &&other) noexcept = default;

void Connection::setBusyTimeout(int milliseconds) {
    busyTimeoutMs = milliseconds;
}

int Connection::busyTimeout() {
    return busyTimeoutMs;
}

Statement Connection::prepare(const QString &sql) {
    return Statement(engine_->prepare(sql));
}

void Connection::exec(const QString &sql) {
    engine_->exec(sql);
}

QVariant Connection::scalar(const QString &sql, const QVariantList &params) {
    Statement stmt = prepare(sql);
    stmt.bindAll(params);
    return stmt.step() ? stmt.value(0) : QVariant();
}

int Connection::changes() const {
    return engine_->changes();
}
bool Connection::inTransaction() const {
    return engine_->inTransaction();
}
sqlite3 *Connection::handle() const {
    return engine_->sqliteHandle();
}
QString Connection::lastError() const {
    return engine_->lastError();
}
void Connection::begin() {
    engine_->begin();
}
void Connection::commit() {
    engine_->commit();
}
void Connection::rollback() noexcept {
    engine_->rollback();
}

Statement::Statement(std::unique_ptr<StatementEngine> engine) : engine_(std::move(engine)) {}
Statement::Statement(Statement &&other) noexcept = default;
Statement &Statement::operator=(Statement &&other) noexcept = default;
Statement::~Statement() = default;

void Statement::bind(int index, const QVariant &value) {
    engine_->bind(index, value);
}

void Statement::bindAll(const QVariantList &values) {
    for (int i = 0; i < values.size(); ++i)
        engine_->bind(i + 1, values[i]);
}

bool Statement::step() {
    return engine_->step();
}
void Statement::reset() {
    engine_->reset();
}
int Statement::columnCount() const {
    return engine_->columnCount();
}
QString Statement::columnName(int column) const {
    return engine_->columnName(column);
}
QVariant Statement::value(int column) const {
    return engine_->value(column);
}
QString Statement::declaredType(int column) const {
    return engine_->declaredType(column);
}
void Statement::readCells(int from, CellSink &sink) const {
    engine_->readCells(from, sink);
}

Transaction::Transaction(Connection &connection) : conn_(connection) {
    conn_.begin();
}

Transaction::~Transaction() {
    if (!done_)
        conn_.rollback();
}

void Transaction::commit() {
    conn_.commit();
    done_ = true;
}
