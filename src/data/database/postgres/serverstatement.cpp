// The server statement: sending, rows streamed one at a time, the rest read ahead when the
// connection is wanted for another statement, and the server's text turned into values.
#include "dataerror.h"
#include "serverengine.h"

namespace server {

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
    if (PQresultStatus(peeked_.get()) == PGRES_FATAL_ERROR && isRead() &&
        conn_.reopenForRead(peeked_.get())) {
        peeked_.reset();
        state_ = State::Ready;
        start();
        return;
    }
    if (peeked_ && PQresultStatus(peeked_.get()) != PGRES_FATAL_ERROR)
        description_.reset(PQcopyResult(peeked_.get(), PG_COPYRES_ATTRS));
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
        if (PQresultStatus(result.get()) == PGRES_SINGLE_TUPLE && readAhead_.empty())
            spool_.add(result.get());
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
            spooled_ = spool_.next(PQnfields(description_.get()));
            return true;
        }
        Result result = next();
        if (!result) {
            finish(Result());
            return false;
        }
        switch (PQresultStatus(result.get())) {
        case PGRES_SINGLE_TUPLE:
            row_ = std::move(result);
            return true;
        case PGRES_TUPLES_OK:
        case PGRES_COMMAND_OK:
            conn_.setChanges(std::atoi(PQcmdTuples(result.get())));
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
        conn_.fail(failure.get());
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

QString ServerStatement::columnName(int column) {
    start();
    if (!description_)
        return QString();
    const QString name = QString::fromUtf8(PQfname(description_.get(), column));
    const auto written = sql_.names.constFind(name);
    return written != sql_.names.constEnd() ? *written : engines::shopSpelling(name);
}

QString ServerStatement::declaredType(int column) {
    start();
    if (!description_ || PQftable(description_.get(), column) == InvalidOid)
        return QString();
    switch (PQftype(description_.get(), column)) {
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

const char *ServerStatement::cellText(int column, int &length) const {
    if (spooled_)
        return spool_.cell(column, length);
    const PGresult *row = row_.get();
    if (row == nullptr || PQgetisnull(row, 0, column))
        return nullptr;
    length = PQgetlength(row, 0, column);
    return PQgetvalue(row, 0, column);
}

QVariant ServerStatement::value(int column) const {
    int length = 0;
    const char *text = cellText(column, length);
    return text == nullptr ? QVariant() : cell(text, length, column);
}

// Millions of rows come this way when a whole table is read: each cell goes from the server's
// text straight to the sink, without the QVariant and the two text conversions per cell of
// value() (a third of the read's time on every sale). The same values: whole numbers and
// amounts parsed (independent of the locale), text and dates and times as sent (UTF-8).
void ServerStatement::readCells(int from, CellSink &sink) const {
    const int columns = description_ ? PQnfields(description_.get()) : 0;
    for (int column = from; column < columns; ++column) {
        int length = 0;
        const char *text = cellText(column, length);
        if (text == nullptr) {
            sink.null();
            continue;
        }
        switch (cellKind(PQftype(description_.get(), column))) {
        case CellKind::Whole:
            sink.whole(wholeNumber(text, length));
            break;
        case CellKind::Truth:
            sink.whole(text[0] == 't' ? 1 : 0);
            break;
        case CellKind::Amount:
            sink.real(amount(text, length));
            break;
        case CellKind::Text:
            sink.text(text, static_cast<std::size_t>(length));
        }
    }
}

QVariant ServerStatement::cell(const char *text, int length, int column) const {
    switch (cellKind(PQftype(description_.get(), column))) {
    case CellKind::Whole:
        return QVariant(static_cast<qlonglong>(wholeNumber(text, length)));
    case CellKind::Truth:
        return QVariant(static_cast<qlonglong>(text[0] == 't' ? 1 : 0));
    case CellKind::Amount:
        return QVariant(amount(text, length));
    case CellKind::Text:
        break;
    }
    return QVariant(QString::fromUtf8(text, length));
}

} // namespace server
