// SQLite result codes mapped to the shop's messages.
#include "databaseerrors.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace dberror {

QString missingFile(const QString &databasePath) {
    return QStringLiteral("The shop database file is missing: %1").arg(databasePath);
}

QString noShopFile(const QString &databasePath) {
    return missingFile(databasePath) +
           QStringLiteral("\n\nIf there is no shop yet, File > New Shop… makes one there (an "
                          "empty shop or the demo shop). If the shop was there before, File > "
                          "Restore a Backup… brings it back.");
}

DataError failure(int resultCode, const QString &engineText, const QString &databasePath) {
    using Kind = DataError::Kind;
    switch (resultCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return DataError(Kind::Busy,
                         QStringLiteral("The shop database is busy: another program is writing "
                                        "to it. Try again in a moment."));
    case SQLITE_READONLY:
        // A file deleted or replaced under an open connection looks read-only to SQLite.
        if (resultCode == SQLITE_READONLY_DBMOVED)
            return DataError(Kind::Missing, missingFile(databasePath));
        return DataError(Kind::ReadOnly,
                         QStringLiteral("The shop database is read-only: nothing can be stored "
                                        "in %1. What is already stored is unchanged. Make the "
                                        "file writable again and try once more.")
                             .arg(databasePath));
    case SQLITE_FULL:
        return DataError(Kind::DiskFull,
                         QStringLiteral("The disk is full: the shop database %1 cannot grow, so "
                                        "this was not stored. What is already stored is "
                                        "unchanged. Free some space on the disk and try again.")
                             .arg(databasePath));
    case SQLITE_CANTOPEN:
        if (!QFileInfo::exists(databasePath))
            return DataError(Kind::Missing, missingFile(databasePath));
        return DataError(QStringLiteral("The shop database %1 cannot be opened (%2).")
                             .arg(databasePath, engineText));
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return DataError(Kind::Damaged,
                         QStringLiteral("The shop database %1 is damaged (%2). Close Quillmart "
                                        "and restore the newest backup from the backups folder "
                                        "beside it.")
                             .arg(databasePath, engineText));
    case SQLITE_IOERR:
        return DataError(QStringLiteral("The shop database %1 could not be read or written: the "
                                        "disk reported an error (%2).")
                             .arg(databasePath, engineText));
    case SQLITE_CONSTRAINT:
        // The connection's commit hook refuses only a commit into a file that has gone.
        if (resultCode == SQLITE_CONSTRAINT_COMMITHOOK)
            return DataError(Kind::Missing, missingFile(databasePath));
        return DataError(engineText);
    default:
        return DataError(engineText);
    }
}

} // namespace dberror
