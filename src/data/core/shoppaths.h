// Where the shop's files live: the database at one fixed per-user path.
#pragma once

#include <QString>

// $XDG_DATA_HOME/Quillmart/book1.mdb (normally ~/.local/share/Quillmart/book1.mdb).
QString defaultDatabasePath();
