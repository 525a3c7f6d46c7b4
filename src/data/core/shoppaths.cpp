#include "shoppaths.h"

#include <QDir>

QString defaultDatabasePath() {
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty())
        dataHome = QDir::homePath() + "/.local/share";
    return dataHome + "/Quillmart/book1.mdb";
}
