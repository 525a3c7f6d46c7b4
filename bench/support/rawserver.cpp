// The raw-libpq baseline connection and its reads and writes.
#include "rawserver.h"

#include <cstdlib>
#include <libpq-fe.h>
#include <memory>
#include <stdexcept>

namespace {

struct ResultDeleter {
    void operator()(PGresult *result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

constexpr Oid int2Oid = 21, int4Oid = 23, int8Oid = 20, numericOid = 1700, float8Oid = 701;

// One cell as a record set takes it in: whole numbers and amounts parsed, text measured.
std::uint64_t take(const PGresult *result, int row, int column) {
    if (PQgetisnull(result, row, column))
        return 0;
    const char *text = PQgetvalue(result, row, column);
    switch (PQftype(result, column)) {
    case int2Oid:
    case int4Oid:
    case int8Oid:
        return static_cast<std::uint64_t>(std::strtoll(text, nullptr, 10));
    case numericOid:
    case float8Oid:
        return static_cast<std::uint64_t>(std::strtod(text, nullptr));
    default: {
        const int bytes = PQgetlength(result, row, column);
        return static_cast<std::uint64_t>(bytes) +
               (bytes ? static_cast<unsigned char>(text[0]) : 0);
    }
    }
}

std::vector<const char *> pointers(const std::vector<std::string> &params) {
    std::vector<const char *> values;
    for (const std::string &param : params)
        values.push_back(param.c_str());
    return values;
}

} // namespace

RawServer::RawServer(const std::string &conninfo) {
    conn_ = PQconnectdb(conninfo.c_str());
    if (PQstatus(conn_) != CONNECTION_OK)
        fail("connect " + conninfo, PQerrorMessage(conn_));
    // No compiling of plans, as the program's sessions: a fresh server process would load the
    // compiler for the first large read.
    run("SET DateStyle = ISO; SET client_encoding = 'UTF8'; SET jit = off");
}

RawServer::~RawServer() {
    dropUnread(); // as a screen's close does
    PQfinish(conn_);
}

void RawServer::fail(const std::string &sql, const std::string &message) const {
    throw std::runtime_error(sql + ": " + message);
}

RawServer::Read RawServer::read(const std::string &sql, const std::vector<std::string> &params,
                                std::int64_t maxRows) {
    const std::vector<const char *> values = pointers(params);
    Read read;
    dropUnread();
    if (maxRows < 0) {
        Result result(PQexecParams(conn_, sql.c_str(), static_cast<int>(values.size()), nullptr,
                                   values.data(), nullptr, nullptr, 0));
        if (PQresultStatus(result.get()) != PGRES_TUPLES_OK)
            fail(sql, PQresultErrorMessage(result.get()));
        const int rows = PQntuples(result.get()), columns = PQnfields(result.get());
        for (int row = 0; row < rows; ++row)
            for (int column = 0; column < columns; ++column)
                read.checksum += take(result.get(), row, column);
        read.rows = rows;
        return read;
    }
    if (PQsendQueryParams(conn_, sql.c_str(), static_cast<int>(values.size()), nullptr,
                          values.data(), nullptr, nullptr, 0) == 0 ||
        PQsetSingleRowMode(conn_) == 0)
        fail(sql, PQerrorMessage(conn_));
    Result result;
    while (read.rows < maxRows && (result.reset(PQgetResult(conn_)), result)) {
        if (PQresultStatus(result.get()) == PGRES_SINGLE_TUPLE) {
            ++read.rows;
            for (int column = 0; column < PQnfields(result.get()); ++column)
                read.checksum += take(result.get(), 0, column);
        } else if (PQresultStatus(result.get()) != PGRES_TUPLES_OK)
            fail(sql, PQresultErrorMessage(result.get()));
    }
    // The rest is not wanted: it is dropped with the connection, or before the next
    // statement.
    unread_ = static_cast<bool>(result);
    return read;
}

void RawServer::dropUnread() {
    if (!unread_)
        return;
    unread_ = false;
    if (PGcancel *cancel = PQgetCancel(conn_)) {
        char ignored[256];
        PQcancel(cancel, ignored, sizeof ignored);
        PQfreeCancel(cancel);
    }
    while (Result rest{PQgetResult(conn_)})
        ;
}

int RawServer::run(const std::string &sql, const std::vector<std::string> &params) {
    dropUnread();
    const std::vector<const char *> values = pointers(params);
    Result result(params.empty() ? PQexec(conn_, sql.c_str())
                                 : PQexecParams(conn_, sql.c_str(), static_cast<int>(values.size()),
                                                nullptr, values.data(), nullptr, nullptr, 0));
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        fail(sql, PQresultErrorMessage(result.get()));
    return std::atoi(PQcmdTuples(result.get()));
}

std::int64_t RawServer::integer(const std::string &sql) {
    dropUnread();
    Result result(PQexec(conn_, sql.c_str()));
    if (PQresultStatus(result.get()) != PGRES_TUPLES_OK || PQntuples(result.get()) < 1)
        fail(sql, PQresultErrorMessage(result.get()));
    return std::strtoll(PQgetvalue(result.get(), 0, 0), nullptr, 10);
}
