// File > New Shop: makes the first shop where the program expects it, never replacing a file
// that is there. A shop on a server is made there, with quillmart-createdb --server.
#pragma once

class Clock;
class MessageBoxes;
class QWidget;
class ShopDatabase;

namespace newshop {

// Asks which shop to make (the box is modal over `owner`) and makes it at the file of `shop`,
// dated by the clock; says what happened in a message. True when a shop was made.
bool run(const ShopDatabase &shop, QWidget *owner, MessageBoxes &messages, const Clock *clock);

} // namespace newshop
