// The large bold line at the top of a screen, the screens' named controls and their Arial face.
#pragma once

#include <QString>
#include <utility>

class QFont;
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
