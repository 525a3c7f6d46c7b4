// The floor for the shop on a PostgreSQL server: the same statements sent straight through
// libpq (PQexecParams with text parameters, whole results), on a connection of its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct pg_conn;

class RawServer {
public:
    struct Read {
        std::int64_t rows = 0;
        std::uint64_t checksum = 0; // of every cell read, so that no read can be skipped
    };

    // A libpq connection string; the session is set up as the program's (ISO dates, UTF-8, no
    // compiling of plans).
    explicit RawServer(const std::string &conninfo);
    ~RawServer();
    RawServer(const RawServer &) = delete;
    RawServer &operator=(const RawServer &) = delete;

    // Every row of a query, each cell taken in as the record set takes it (numbers parsed,
    // text measured). With maxRows >= 0 only that many rows are read, a row at a time as a
    // record set reads a screenful; the rest is dropped with the connection (or the server is
    // told to stop sending it before the next statement).
    Read read(const std::string &sql, const std::vector<std::string> &params = {},
              std::int64_t maxRows = -1);
    // Runs a statement without rows; returns the rows it changed.
    int run(const std::string &sql, const std::vector<std::string> &params = {});
    std::int64_t integer(const std::string &sql);

private:
    void dropUnread();
    [[noreturn]] void fail(const std::string &sql, const std::string &message) const;

    pg_conn *conn_ = nullptr;
    bool unread_ = false;
};
