// The counter's boxes: an amount typed (a float, a count, cash paid in) read from its box, or
// refused with the operator's sentence, the box keeping what was typed, selected, with the
// focus, so that it is put right in place; Enter in a box as the box's own step; the window's
// keys; the counter's large face and colours.
#pragma once

#include "money.h"

#include <QColor>
#include <QKeySequence>
#include <QPalette>
#include <functional>
#include <optional>

class MessageBoxes;
class QLineEdit;
class QObject;
class QWidget;

namespace counterbox {

enum class Least { Zero, MoreThanZero };

// As long as the shop keeps a reason typed at the counter (a void's, a cash movement's).
constexpr int longestReason = 80;

// `what` begins the sentence ("The float", "The count of Cash"). An empty box is refused too:
// a float or a count is never taken as 0 unless 0 is typed.
std::optional<Money> read(QLineEdit *box, MessageBoxes &messages, const QString &what,
                          Least least = Least::Zero);
// Enter (or a scanner's Enter) in the box runs `step`, and nothing else: the dialog's default
// button is not pressed by it.
void onEnter(QLineEdit *box, std::function<void()> step);
// The box takes the focus with what it holds selected, so that what is typed next replaces it.
void focusSelected(QLineEdit *box);
// The key runs `step` while this window (or a box in it) has the focus: each window of the
// counter its own, not its neighbours'.
void onKey(QWidget *window, QKeySequence key, QObject *receiver, std::function<void()> step);
// The counter's face for what is read across the counter: the widget's font, larger.
void enlarge(QWidget *widget, int points, bool bold = false);
// The counter's colours, which the operator cannot miss: the widget's `role` (its letters, or
// its ground, which is then filled) in `colour`.
void colour(QWidget *widget, QPalette::ColorRole role, const QColor &colour);

} // namespace counterbox
