// What every screen receives: the shop it works on, how to show messages, the clock, and the
// opener of other screens. Nothing global: tests build their own.
#pragma once

#include "shopdatabase.h"

class MessageBoxes;
class Clock;
class ScreenOpener;

struct ShopContext {
    ShopDatabase shop;
    MessageBoxes *messages = nullptr;
    const Clock *clock = nullptr;
    ScreenOpener *opener = nullptr;
};
