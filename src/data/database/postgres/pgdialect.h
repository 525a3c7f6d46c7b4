// PostgreSQL's dialect: the program's statements as the shop's server takes them.
#pragma once

class SqlDialect;

namespace engines {
const SqlDialect &serverDialect();
} // namespace engines
