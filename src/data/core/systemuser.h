// The name of the user this program runs as, for what it records of who did what on a shop
// file.
#pragma once

#include <QString>

// $USER or $LOGNAME, else the system's own record of the user; empty when none is known.
QString systemUser();
