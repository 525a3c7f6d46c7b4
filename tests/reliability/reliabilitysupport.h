// Helpers of the reliability tests: exceptions that reached Qt's event loop, snapshots of
// the shop's tables, the database's own check, and a shop file outside any test fixture.
#pragma once

#include <QString>
#include <QStringList>
#include <map>

class Connection;
class QLineEdit;

namespace reliability {

// Every exception that reached QApplication::notify since the binary started (what()).
QStringList &escapedExceptions();
// Every critical message Qt or the program logged since the binary started.
QStringList &criticalMessages();

// The eight tables the shop keeps; tmp and tempPay are scratch tables the screens refill.
const QStringList &permanentTables();

// Each table's rows in stored order, every value with its stored type ("integer:3").
using Snapshot = std::map<QString, QStringList>;
Snapshot snapshot(Connection &connection, const QStringList &tables);

// PRAGMA integrity_check as one text: "ok" for a sound file.
QString integrityCheck(Connection &connection);

// A new shop file in `folder` (book1.mdb), made from the schema; returns its path.
QString createShopFile(const QString &folder);

// Replaces the box's text by pasting, the way an operator enters a long or Chinese text:
// the box's own limits and checks apply and it reports the change as the operator's.
void typeInto(QLineEdit *box, const QString &text);

} // namespace reliability
