// The menu bar as one table: every entry's object name, caption, parent and command.
#pragma once

#include "commandkind.h"

#include <span>

struct MenuEntry {
    const char *objectName;
    const char *caption;
    const char *parent; // nullptr for the six menus of the menu bar
    CommandKind kind;
    const char *screenId; // for NewWindow and Shared, else nullptr
};

// In the order the entries appear: each menu before its items, items top to bottom.
std::span<const MenuEntry> menuTable();
