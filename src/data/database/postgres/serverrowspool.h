// Rows of a server's result read ahead of the steps, packed: a statement must read the rest of
// its result before another can be sent on the connection, and kept as libpq's one result per
// row the rest of every sale took some 3 KB a row (gigabytes) where a record set keeps about
// 90 bytes. Here a row costs its text and 5 bytes a cell, and is let go once stepped past.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

struct pg_result;

class ServerRowSpool {
public:
    // Appends the row of a single-row result.
    void add(const pg_result *row);
    bool empty() const { return rows_ == 0; }
    // Makes the next row current; false when none is left.
    bool next(int columns);
    // A cell of the current row: its text with a closing zero, or null for an SQL null.
    const char *cell(int column, int &length) const;
    void clear();

private:
    // Per cell its length (-1: null) and its text with a closing zero, rows back to back in
    // chunks; a row never spans two chunks, so that no chunk moves while its row is read.
    std::deque<std::string> chunks_;
    std::size_t rows_ = 0; // not yet made current
    std::size_t next_ = 0; // where the next row starts in the first chunk
    const char *current_ = nullptr;
};
