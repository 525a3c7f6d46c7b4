// The main window's position and size, kept in twips in the settings store under
// section "Settings", keys "MainLeft", "MainTop", "MainWidth", "MainHeight".
#pragma once

#include <QRect>
#include <QString>

class QSettings;

namespace placement {

// Defaults when a key is absent (or holds no number), in twips.
constexpr double kDefaultLeft = 1000, kDefaultTop = 1000;
constexpr double kDefaultWidth = 6500, kDefaultHeight = 6500;

int twipsToPixels(double twips, double dpi);

// The stored text of a value: shortest decimal text of the single-precision number.
QString valueText(float twips);

// The frame's outer rectangle in pixels as the store holds it now.
QRect storedFrame(QSettings &settings, double dpiX, double dpiY);
// Writes the outer rectangle (pixels) in twips.
void storeFrame(QSettings &settings, const QRect &frame, double dpiX, double dpiY);

} // namespace placement
