// Packing a server's rows read ahead, and reading them back a row at a time.
#include "serverengine.h"

#include <algorithm>
#include <cstring>
#include <libpq-fe.h>

namespace {

constexpr std::size_t chunkSize = std::size_t{1} << 20;

std::int32_t lengthAt(const char *p) {
    std::int32_t length;
    std::memcpy(&length, p, sizeof length);
    return length;
}

// Steps over one cell.
const char *skip(const char *p) {
    const std::int32_t length = lengthAt(p);
    return p + sizeof length + (length < 0 ? 0 : static_cast<std::size_t>(length) + 1);
}

} // namespace

void ServerRowSpool::add(const pg_result *result) {
    auto *row = const_cast<PGresult *>(result); // libpq's readers take no const
    const int columns = PQnfields(row);
    std::size_t size = 0;
    for (int column = 0; column < columns; ++column)
        size += sizeof(std::int32_t) + static_cast<std::size_t>(PQgetlength(row, 0, column)) + 1;
    if (chunks_.empty() || chunks_.back().capacity() - chunks_.back().size() < size) {
        chunks_.emplace_back();
        chunks_.back().reserve(std::max(chunkSize, size));
    }
    std::string &chunk = chunks_.back();
    for (int column = 0; column < columns; ++column) {
        const bool null = PQgetisnull(row, 0, column) != 0;
        const std::int32_t length = null ? -1 : PQgetlength(row, 0, column);
        chunk.append(reinterpret_cast<const char *>(&length), sizeof length);
        if (!null) {
            chunk.append(PQgetvalue(row, 0, column), static_cast<std::size_t>(length));
            chunk.push_back('\0');
        }
    }
    ++rows_;
}

bool ServerRowSpool::next(int columns) {
    current_ = nullptr;
    if (rows_ == 0)
        return false;
    if (next_ == chunks_.front().size()) {
        chunks_.pop_front(); // every row of it has been stepped past
        next_ = 0;
    }
    current_ = chunks_.front().data() + next_;
    const char *p = current_;
    for (int column = 0; column < columns; ++column)
        p = skip(p);
    next_ = static_cast<std::size_t>(p - chunks_.front().data());
    --rows_;
    return true;
}

const char *ServerRowSpool::cell(int column, int &length) const {
    const char *p = current_;
    for (int at = 0; at < column; ++at)
        p = skip(p);
    length = lengthAt(p);
    return length < 0 ? nullptr : p + sizeof(std::int32_t);
}

void ServerRowSpool::clear() {
    chunks_.clear();
    rows_ = next_ = 0;
    current_ = nullptr;
}
