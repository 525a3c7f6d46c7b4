// PostgreSQL's dialect: the program's statements as the shop's server takes them.
#pragma once

#include <QString>

class SqlDialect;

namespace engines {
const SqlDialect &serverDialect();
// The shop's own spelling of a column or table name the server gives in lower case (the
// name itself when it is none of the shop's).
QString shopSpelling(const QString &lowerCase);
} // namespace engines
