// Folders and files of the shop that only their owner may read: the data folder, the
// database and its backups hold the takings and the suppliers' accounts.
#pragma once

#include <QString>

namespace privatefiles {

// Makes the folder and any missing parent; each folder made here is 0700. A folder that
// already exists keeps its mode. False when a folder cannot be made.
bool makeFolder(const QString &path);

// Creates a new, empty file that only its owner can read and write (0600). False, with the
// reason in `why`, when the file exists already or cannot be made.
bool createFile(const QString &path, QString *why = nullptr);

} // namespace privatefiles
