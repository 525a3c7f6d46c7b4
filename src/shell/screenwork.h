// Whose work each screen is on a shop with several tills: the counter's (a till at the counter
// works it, and it must never hang behind another till), the tills' reports, or the back
// office's. It decides which role a login needs to open the screen and how long the screen's
// session waits for what another till holds.
#pragma once

#include <QString>

enum class Desk {
    Counter,    // the till's own work at the counter: the counter's time limit
    TillReport, // a till may open it; it reads long enough to take the back office's limit
    BackOffice, // needs the back office's role
};

struct ScreenWork {
    Desk desk;
    QString what; // "Paying bills": the work, for the operator's messages
};

// The work of a screen; a screen the table does not know is back-office work.
ScreenWork screenWork(const QString &screenId);
