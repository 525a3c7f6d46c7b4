// What a menu item or toolbar button does when chosen.
#pragma once

enum class CommandKind {
    Menu,      // opens its drop-down (top-level menu or submenu)
    Separator, // a line in a menu or a blank gap on the toolbar
    NewWindow, // a fresh window of the screen every time
    Shared,    // the one shared window of the screen
    Exit,      // closes the frame, which ends the program
    NewShop,   // makes the first shop where the program expects it
    Help,      // the help command
    About,     // the About box, modal over the frame
    Restore,   // the list of backups, to put one back in place
    Upgrade,   // brings the shop to the newest version
    Receipt,   // the receipt of the selling window in front (its "printReceipt" action)
};
