// The toolbar as one table: the 20 positions with key, tooltip, picture and command.
#pragma once

#include "commandkind.h"

#include <span>

struct ToolbarEntry {
    const char *key;     // nullptr for a separator
    const char *tooltip; // also the button's accessible name
    int picture;         // 1-based position in imlIcons, 0 for a separator
    CommandKind kind;    // Separator, Shared or Exit
    const char *screenId;
};

// Positions 1 to 20, left to right.
std::span<const ToolbarEntry> toolbarTable();
