// Making the shop's folders and files private to their owner.
#include "privatefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace privatefiles {

bool makeFolder(const QString &path) {
    // The missing folders, outermost first; those that exist are left as their owner set them.
    QStringList missing;
    for (QString folder = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
         !QFileInfo(folder).exists(); folder = QFileInfo(folder).absolutePath()) {
        if (missing.contains(folder))
            return false; // the root itself is missing: nothing to build on
        missing.prepend(folder);
    }
    for (const QString &folder : missing)
        if (!QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) &&
            !QFileInfo(folder).isDir())
            return false;
    return QFileInfo(path).isDir();
}

bool createFile(const QString &path, QString *why) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                   QFile::ReadOwner | QFile::WriteOwner)) {
        if (why != nullptr)
            *why = file.errorString();
        return false;
    }
    return true;
}

} // namespace privatefiles
