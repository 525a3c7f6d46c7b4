// The server statement: sending, rows streamed one at a time, the rest read ahead when the
// connection is wanted for another statement, and the server's text turned into values.
#include "dataerror.h"
#include "serverengine.h"

#include <charconv>

namespace server {

namespace {

// Type OIDs of the server's built-in types (pg_type.dat).
constexpr Oid boolOid = 16, int8Oid = 20, int2Oid = 21, int4Oid = 23, float4Oid = 700,
              float8Oid = 701, numericOid = 1700, dateOid = 1082, timeOid = 1083;

// Independent of the locale, as the server writes them.
qint64 wholeNumber(const char *text, int length) {
    qint64 value = 0;
    std::from_chars(text, text + length, value);
    return value;
}

double amount(const char *text, int length) {
    double value = 0;
    if (std::from_chars(text, text + length, value).ec != std::errc())
        value = QByteArray::fromRawData(text, length).toDouble();
    return value;
}

} // namespace

void ServerStatement::bind(int index, const QVariant &value) {
    if (index < 1)
        throw DataError(QStringLiteral("Parameter %1 does not exist.").arg(index));
    if (params_.size() < static_cast<std::size_t>(index)) {
        params_.resize(static_cast<std::size_t>(index));
        types_.resize(static_cast<std::size_t>(index), 0);
    }
    const auto at = static_cast<std::size_t>(index - 1);
    switch (storedAs(value)) {
    case StoredAs::Null:
        params_[at].reset();
        types_[at] = 0;
        break;
    case StoredAs::Whole:
        params_[at] = QByteArray::number(value.toLongLong());
        types_[at] = int8Oid;
        break;
    case StoredAs::Real:
        params_[at] = QByteArray::number(value.toDouble(), 'g', 17);
        types_[at] = float8Oid;
        break;
    case StoredAs::Text:
        // Text takes the type its place asks for: a date, a time or a name.
        params_[at] = value.toString().toUtf8();
        types_[at] = 0;
    }
}

void ServerStatement::start() {
    if (state_ != State::Ready)
        return;
    PGconn *conn = conn_.claim(this);
    std::vector<const char *> values;
    for (const auto &param : params_)
        values.push_back(param ? param->constData() : nullptr);
    if (PQsendQueryParams(conn, utf8_.constData(), static_cast<int>(values.size()), types_.data(),
                          values.data(), nullptr, nullptr, 0) == 0) {
        conn_.release(this);
        conn_.fail(nullptr);
    }
    PQsetSingleRowMode(conn);
    state_ = State::Streaming;
    peeked_ = next();
    // A read outside a transaction on a connection the server dropped since the last
    // statement (a restart) is simply sent again on a new one.
    if (PQresultStatus(peeked_.raw()) == PGRES_FATAL_ERROR && sql_.isRead &&
        conn_.reopenForRead(peeked_.raw())) {
        peeked_.reset();
        state_ = State::Ready;
        start();
        return;
    }
    if (peeked_ && PQresultStatus(peeked_.raw()) != PGRES_FATAL_ERROR)
        description_.reset(PQcopyResult(peeked_.raw(), PG_COPYRES_ATTRS));
}

Result ServerStatement::next() {
    if (peeked_)
        return std::move(peeked_);
    if (!readAhead_.empty()) {
        Result result = std::move(readAhead_.front());
        readAhead_.pop_front();
        return result;
    }
    if (state_ != State::Streaming)
        return Result();
    return Result(PQgetResult(conn_.raw()));
}

void ServerStatement::readRest() {
    if (state_ != State::Streaming)
        return;
    PGconn *conn = conn_.raw();
    for (Result result(PQgetResult(conn)); result; result.reset(PQgetResult(conn))) {
        if (PQresultStatus(result.raw()) == PGRES_SINGLE_TUPLE && readAhead_.empty())
            spool_.add(result.raw());
        else
            readAhead_.push_back(std::move(result));
    }
    state_ = State::Read;
    conn_.release(this);
}

bool ServerStatement::step() {
    start();
    row_.reset();
    spooled_ = false;
    for (;;) {
        // The rows read ahead come after the first one, which start() kept.
        if (!peeked_ && !spool_.empty()) {
            spooled_ = spool_.next(PQnfields(description_.raw()));
            return true;
        }
        Result result = next();
        if (!result) {
            finish(Result());
            return false;
        }
        switch (PQresultStatus(result.raw())) {
        case PGRES_SINGLE_TUPLE:
            row_ = std::move(result);
            return true;
        case PGRES_TUPLES_OK:
        case PGRES_COMMAND_OK:
            conn_.setChanges(result.changed());
            continue; // the end of the rows: the null result follows
        default:
            finish(std::move(result));
        }
    }
}

void ServerStatement::finish(Result failure) {
    // The last result read: the connection is free for the next statement.
    if (state_ == State::Streaming)
        while (Result rest{PQgetResult(conn_.raw())})
            ;
    state_ = State::Done;
    conn_.release(this);
    if (failure)
        conn_.fail(failure.raw());
}

void ServerStatement::stop() {
    row_.reset();
    peeked_.reset();
    readAhead_.clear();
    spool_.clear();
    spooled_ = false;
    if (state_ == State::Streaming) {
        PGconn *conn = conn_.raw();
        // The end of a short result is read; the server is asked to stop sending a long one
        // (a request that reaches it after the statement ended is ignored there).
        int left = 1000;
        Result rest{PQgetResult(conn)};
        for (; rest && left > 0; --left)
            rest.reset(PQgetResult(conn));
        if (rest) {
            if (PGcancel *cancel = PQgetCancel(conn)) {
                char ignored[256];
                PQcancel(cancel, ignored, sizeof ignored);
                PQfreeCancel(cancel);
            }
            while (rest)
                rest.reset(PQgetResult(conn));
        }
    }
    conn_.release(this);
    state_ = State::Ready;
}

QString declaredTypeOf(Oid type) {
    switch (type) {
    case int2Oid:
    case int4Oid:
    case int8Oid:
        return QStringLiteral("INTEGER");
    case numericOid:
        return QStringLiteral("MONEY");
    case dateOid:
        return QStringLiteral("DATE");
    case timeOid:
        return QStringLiteral("TIME");
    default:
        return QStringLiteral("TEXT");
    }
}

// Millions of rows come this way when a whole table is read: each cell goes from the server's
// text straight to the sink, without a QVariant and two text conversions per cell (a third of
// the read's time on every sale). Whole numbers and amounts are parsed (independent of the
// locale), text and dates and times handed on as sent (UTF-8).
void ServerStatement::readCell(int column, CellSink &sink) const {
    int length = 0;
    const char *text = nullptr;
    if (spooled_)
        text = spool_.cell(column, length);
    else if (row_ && !PQgetisnull(row_.raw(), 0, column)) {
        length = PQgetlength(row_.raw(), 0, column);
        text = PQgetvalue(row_.raw(), 0, column);
    }
    if (text == nullptr)
        return sink.null();
    switch (PQftype(description_.raw(), column)) {
    case int2Oid:
    case int4Oid:
    case int8Oid:
        return sink.whole(wholeNumber(text, length));
    case boolOid:
        return sink.whole(text[0] == 't' ? 1 : 0);
    case numericOid:
    case float4Oid:
    case float8Oid:
        return sink.real(amount(text, length));
    default: // text, and dates and times as sent, as the file keeps them
        return sink.text(text, static_cast<std::size_t>(length));
    }
}

void ServerStatement::readCells(int from, CellSink &sink) const {
    const int columns = description_ ? PQnfields(description_.raw()) : 0;
    for (int column = from; column < columns; ++column)
        readCell(column, sink);
}

QVariant ServerStatement::value(int column) const {
    struct One : CellSink {
        QVariant value;
        void null() override {}
        void whole(qint64 whole) override { value = QVariant(static_cast<qlonglong>(whole)); }
        void real(double real) override { value = QVariant(real); }
        void text(const char *utf8, std::size_t size) override {
            value = QVariant(QString::fromUtf8(utf8, static_cast<qsizetype>(size)));
        }
    } one;
    if (description_ && column >= 0 && column < PQnfields(description_.raw()))
        readCell(column, one);
    return one.value;
}

} // namespace server
