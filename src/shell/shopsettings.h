// The [Shop] section of the per-user settings: which shop this computer works on (the shop
// file, or a shop on a server) and how long a server shop's screens wait for what another
// till holds. A setting that is there but cannot be used stops the start with a message that
// names it: the program never guesses another shop.
#pragma once

#include <QString>

class QSettings;

struct ShopSettings {
    QString location;       // the shop file's path, or a server location (shoplocation.h)
    QString refusal;        // why the settings cannot be used; empty when they can
    int counterTimeout = 5; // seconds the counter's screens wait; 0 for no limit
    int officeTimeout = 60; // the same for the back office's screens
};

namespace shopsettings {

// Reads the settings; `shopFile` is the file worked on when no server is named. The server's
// connection is read whole as it stands in the file (a libpq list of hosts holds commas,
// which a settings store would split).
ShopSettings read(QSettings &settings, const QString &shopFile);

} // namespace shopsettings
