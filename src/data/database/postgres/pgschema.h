// The shop's tables as a PostgreSQL server holds them, rendered from their one description
// (shoptables.h, and the steps of the shop's versions in shopsteps.h): names in lower case, each
// kind as the server's type, the hidden columns, row security of the scratch tables and the
// indexes; and the server's own val() and text order, which read and sort as the program does on a
// shop file.
#pragma once

#include "stepdescription.h"
#include "tabledescription.h"

#include <QString>
#include <QStringList>

namespace pgschema {

// A table's or column's name as the server holds it: lower case ("invoice no").
QString name(const QString &shopName);
// The same, quoted for SQL ("\"invoice no\"").
QString quoted(const QString &shopName);
// The server's type of a column of this kind, as format_type() writes it ("numeric(19,4)").
QString type(ColumnKind kind);
// The server table's columns as "name type", in their order, its hidden ones included.
QStringList columns(const TableDescription &table);

// Makes every table, its hidden columns, row security and indexes.
QString tablesSql();
// Makes a step of the shop's versions: its tables with their rules and hidden columns, the row
// security of its scratch tables, its indexes, the roles' rights (stepRightsSql) and its own
// part for a server.
QString stepSql(const StepDescription &step);
// The rights `grants` give the tills' and the back office's roles, after taking away every
// right anyone but the owner holds on `tables` and their numbering.
QString rightsSql(const QStringList &tables, std::span<const TableGrant> grants);
// The rights of the step's own tables (rightsSql).
QString stepRightsSql(const StepDescription &step);
// The policy by which a scratch table's rows are the login's that wrote them.
QString scratchPolicySql(const TableDescription &table);
// val(), and the collation shoptext in the order of `locale` (a BCP 47 name such as en-GB).
// Throws DataError for a locale name that is not one.
QString functionsSql(const QString &locale);

} // namespace pgschema
