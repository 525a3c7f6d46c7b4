// How the connections to a shop wait for others: the settings a ShopDatabase gives every
// connection it opens, so that each screen's session knows its own limits.
#pragma once

// How long a screen's write on the shop file waits for another program's write lock before
// the shop is reported busy.
inline constexpr int kScreenBusyTimeoutMs = 15000;

struct ConnectionSettings {
    // On a shop file: how long a write waits for another program's write lock.
    int busyTimeoutMs = kScreenBusyTimeoutMs;
    // On a server: how long a session waits for a lock another till holds, and how long one
    // statement may run, before the work is given up and rolled back; 0 for no limit. The
    // counter's screens and the back office's each have their own ([Shop] settings).
    int waitLimitSeconds = 0;
};
