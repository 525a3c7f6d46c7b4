// What the tools that move a shop between a file and a server know of each table: its name in
// the file and on the server, and each column's names and kind. The tables themselves are
// described in serverschema.h, generated from db/schema.sql.
#pragma once

#include <span>

enum class ServerKind { AutoNumber, Whole, Money, Date, Time, Text };

struct ServerColumn {
    const char *fileName; // as db/schema.sql names it ("Invoice No")
    const char *name;     // on the server: lower case ("invoice no")
    ServerKind kind;
};

struct ServerTable {
    const char *fileName; // "Titles"
    const char *name;     // "titles"
    std::span<const ServerColumn> columns;
    const char *autoNumber; // the column that is also the rowid, or ""
    bool perTill;           // a scratch table whose rows belong to one till
};
