// What every screen receives: the shop it works on, how to show messages, the clock, and the
// opener of other screens. Nothing global: tests build their own.
#pragma once

#include "shopdatabase.h"

#include <QString>
#include <functional>
#include <memory>

class MessageBoxes;
class Clock;
class ScreenOpener;
class TillCopy;

struct ShopContext {
    ShopDatabase shop;
    MessageBoxes *messages = nullptr;
    const Clock *clock = nullptr;
    ScreenOpener *opener = nullptr;
    // A till of a shop on a server: its own file, by which the counter sells while the server
    // cannot be reached. None for a shop file.
    std::shared_ptr<TillCopy> tillCopy;
    // Where the counter says, for the main window's status bar, that it sells without the
    // server ("Offline: 3 receipts waiting..."); an empty text once it is back. May be empty.
    std::function<void(const QString &)> showOffline;
};
