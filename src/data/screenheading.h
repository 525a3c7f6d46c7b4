// The large bold line at the top of a screen, and the screens' controls made with their names.
#pragma once

#include <QString>
#include <utility>

class QLabel;
class QWidget;

// `scale` times the screen's font, bold; centred over the screen unless `centred` is false.
QLabel *screenHeading(const QString &objectName, const QString &text, QWidget *parent,
                      double scale = 1.6, bool centred = true);

// A new control (or action) with its object name: the name by which the screen's code, the
// tests and the screenshot tour find it.
template <typename Control, typename... Args>
Control *named(const char *objectName, Args &&...args) {
    auto *control = new Control(std::forward<Args>(args)...);
    control->setObjectName(QLatin1String(objectName));
    return control;
}
