// The File menu's New Shop command: makes the first shop at the expected place, never
// replacing a file that is there.
#pragma once

#include <QString>

class Clock;
class MessageBoxes;
class QWidget;

namespace newshop {

// Asks which shop to make (the box is modal over `owner`) and makes it at `path`, dated by
// the clock; says what happened in a message. True when a shop was made.
bool run(const QString &path, QWidget *owner, MessageBoxes &messages, const Clock *clock);

} // namespace newshop
