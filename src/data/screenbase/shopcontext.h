// What every screen receives: where the shop database is, how to show messages, the clock,
// and the opener of other screens. Nothing global: tests build their own.
#pragma once

#include <QString>

class MessageBoxes;
class Clock;
class ScreenOpener;

struct ShopContext {
    QString databasePath;
    MessageBoxes *messages = nullptr;
    const Clock *clock = nullptr;
    ScreenOpener *opener = nullptr;
};
