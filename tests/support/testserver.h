// Shops on the throwaway PostgreSQL server the test command starts: with
// QUILLMART_TEST_ENGINE=server the tests that make a shop get one there instead of a file.
#pragma once

#include <QString>

namespace testserver {

// Whether this run's shops are made on the server.
bool enabled();
// The location of an empty shop on the server (one database per test program, emptied for
// each test), worked as a back-office login as the program is. Throws std::runtime_error when
// the server cannot be used.
QString freshShop();
// The same shop as its owner sees it: for changing the tables themselves.
QString ownerLocation();
// The shop's tables were changed (a test dropped or altered one): the next shop is made
// anew rather than emptied.
void schemaChanged();
// Sets every numbering of the shop past the largest number stored.
void renumber();
// The location of a shop in a database of this name on the server, which need not exist,
// worked as the back-office login.
QString locationOf(const QString &databaseName);
// The back-office login the tests' shops are worked as.
QString officeLogin();
// The location of the test program's shop worked as `login`, which is made on the server
// (with `options` such as "IN ROLE quillmart_till") when it is not there yet.
QString locationAs(const QString &login, const QString &options);
// Makes that database with the shop's schema; it is dropped when the test program ends.
void makeShop(const QString &databaseName);
// Runs SQL on the server shop's database as its owner (the tests' own set-up), bypassing
// what the program's connection does.
void ownerExec(const QString &sql);

} // namespace testserver
