// What the check at start found in a shop file, for every connection of the process: while
// the check runs, a commit into that file waits for it; once the file is known to be damaged,
// every commit into it is refused with the check's message, so that nothing more is written
// into a damaged file and what the operator typed stays on the screen.
#pragma once

#include <QString>

namespace shophealth {

// The check of this file has begun: commits wait for its verdict.
void checking(const QString &databasePath);
// The check's verdict: empty when writes may go on, else the message that refuses them.
void verdict(const QString &databasePath, const QString &refusal);
// Empty when a commit into the file may go ahead; waits while the file is being checked.
QString refusal(const QString &databasePath);
// Forgets every file (tests).
void forgetAll();

} // namespace shophealth
