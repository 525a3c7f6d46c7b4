// The large bold line at the top of a screen.
#pragma once

#include <QString>

class QLabel;
class QWidget;

// `scale` times the screen's font, bold; centred over the screen unless `centred` is false.
QLabel *screenHeading(const QString &objectName, const QString &text, QWidget *parent,
                      double scale = 1.6, bool centred = true);
