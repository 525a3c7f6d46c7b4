// The connection and statement the data layer uses, on whichever engine holds the shop.
#include "connection.h"

#include "commitgate.h"
#include "dataerror.h"
#include "engine.h"

#include <algorithm>

Connection::Connection(ShopDatabase shop, std::unique_ptr<ConnectionEngine> engine)
    : shop_(std::move(shop)), engine_(std::move(engine)) {}

Connection::~Connection() = default;
Connection::Connection(Connection &&other) noexcept = default;
Connection &Connection::operator=(Connection &&other) noexcept = default;

Statement Connection::prepare(const QString &sql) {
    const EngineSql *kept = statements_.find(sql);
    if (kept == nullptr) {
        statements_.keep(sql, dialect().statement(sql));
        kept = statements_.find(sql);
    }
    return prepare(*kept);
}

std::shared_ptr<const RecordSourceSql> Connection::recordSource(const QString &text, int values) {
    // A text is taken with as many values as it names, no fewer.
    const QString key = QString::number(values) + u'\n' + text;
    if (const auto *kept = recordSources_.find(key))
        return *kept;
    auto read = std::make_shared<const RecordSourceSql>(dialect().recordSource(text, values));
    recordSources_.keep(key, read);
    return read;
}

Statement Connection::prepare(const EngineSql &sql) {
    return Statement(engine_->prepare(sql));
}

Statement Connection::prepare(const sqlb::Statement &statement) {
    auto kept = std::find_if(kept_.begin(), kept_.end(),
                             [&](const auto &known) { return known.first == statement; });
    if (kept == kept_.end()) {
        if (kept_.size() == textsKept)
            kept_.erase(kept_.begin());
        kept_.emplace_back(statement, dialect().render(statement));
    } else {
        std::rotate(kept, kept + 1, kept_.end());
    }
    return prepare(kept_.back().second);
}

void Connection::exec(const QString &sql) {
    exec(dialect().statement(sql, true));
}

void Connection::exec(const sqlb::Statement &statement) {
    prepare(statement).step();
}

void Connection::exec(const EngineSql &sql) {
    engine_->exec(sql);
}

namespace {
// Binds the values and steps once: the first column of the first row, invalid when none.
QVariant runOnce(Statement statement, const QVariantList &params) {
    statement.bindAll(params);
    return statement.step() ? statement.value(0) : QVariant();
}
} // namespace

QVariant Connection::scalar(const QString &sql, const QVariantList &params) {
    return runOnce(prepare(sql), params);
}

QVariant Connection::scalar(const sqlb::Statement &statement, const QVariantList &params) {
    return runOnce(prepare(statement), params);
}

int Connection::write(const QString &sql, const QVariantList &params) {
    runOnce(prepare(sql), params);
    return changes();
}

int Connection::write(const sqlb::Statement &statement, const QVariantList &params) {
    runOnce(prepare(statement), params);
    return changes();
}

int Connection::changes() const {
    return engine_->changes();
}
const SqlDialect &Connection::dialect() const {
    return shop_.dialect();
}
EngineTraits Connection::traits() const {
    return engine_->traits();
}
std::vector<TableColumn> Connection::columnsOf(const QString &table) {
    return engine_->columnsOf(table);
}
qint64 Connection::commits() const {
    return engine_->commits();
}
void Connection::begin() {
    engine_->begin();
}
void Connection::commit() {
    // A shop the program may only read takes no writes, on any engine (a file's own engine
    // refuses them also outside a transaction).
    if (const QString refusal = shop_.commitGate().refusal(); !refusal.isEmpty()) {
        engine_->rollback();
        throw DataError(DataError::Kind::Damaged, refusal);
    }
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

void Statement::run(const QVariantList &values) {
    bindAll(values);
    step();
    reset();
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
QVariant Statement::value(int column) const {
    return engine_->value(column);
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
