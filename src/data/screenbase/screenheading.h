// The large bold line at the top of a screen, the screens' named controls, the captions of
// their boxes, their rows of buttons and their Arial face.
#pragma once

#include <QPushButton>
#include <QString>
#include <initializer_list>
#include <utility>

class QFont;
class QHBoxLayout;
class QLabel;
class QWidget;

// `scale` times the screen's font, bold; centred over the screen unless `centred` is false.
QLabel *screenHeading(const QString &objectName, const QString &text, QWidget *parent,
                      double scale = 1.6, bool centred = true);

// Arial at this size, or a face with the same metrics where Arial is not installed, as it is
// on most Linux desktops.
QFont arialFont(double points, bool bold = false);

// A new control (or action) with its object name: the name by which the screen's code, the
// tests and the screenshot tour find it.
template <typename Control, typename... Args>
Control *named(const char *objectName, Args &&...args) {
    auto *control = new Control(std::forward<Args>(args)...);
    control->setObjectName(QLatin1String(objectName));
    return control;
}

// The caption of a box: its Alt+letter reaches the box, and it names the box for screen readers.
QLabel *captionFor(const QString &caption, QWidget *buddy, QWidget *parent);

// A button of `screen` (objectName, caption) that runs `step` when pressed.
template <typename Screen, typename Step>
QPushButton *stepButton(const char *objectName, const QString &caption, Screen *screen, Step step) {
    auto *button = named<QPushButton>(objectName, caption, screen);
    QObject::connect(button, &QPushButton::clicked, screen, step);
    return button;
}

// A row of buttons (and boxes), in the order given, which is their order for Tab too;
// `rowStretch` stands for the space that puts what follows it at the right (Refresh, Close).
inline QWidget *const rowStretch = nullptr;
QHBoxLayout *buttonRow(std::initializer_list<QWidget *> widgets);
