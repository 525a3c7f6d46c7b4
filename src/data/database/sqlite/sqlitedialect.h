// SQLite's dialect: the program's statements are written in it.
#pragma once

class SqlDialect;

namespace engines {
const SqlDialect &fileDialect();
} // namespace engines
