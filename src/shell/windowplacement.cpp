// Reading and writing the four placement values, and twips against pixels.
#include "windowplacement.h"

#include <QLocale>
#include <QSettings>
#include <charconv>
#include <cmath>

namespace placement {

namespace {
constexpr double kTwipsPerInch = 1440.0;
// Beyond this a window cannot be placed at all: treat such a value as no value.
constexpr double kLargestPixels = 1 << 24;

const char *const kKeys[4] = {"MainLeft", "MainTop", "MainWidth", "MainHeight"};

QString keyPath(int i) {
    return QStringLiteral("Settings/") + QLatin1String(kKeys[i]);
}

double pixelsToTwips(int pixels, double dpi) {
    return pixels * kTwipsPerInch / dpi;
}

// A stored text read as twips; the default when it is not a finite number.
double readValue(const QString &text, double fallback) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    // Our own text uses a point; a value written by hand may use the operator's separator.
    float value = QLocale::c().toFloat(trimmed, &ok);
    if (!ok)
        value = QLocale::system().toFloat(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return fallback;
    return value;
}
} // namespace

int twipsToPixels(double twips, double dpi) {
    return int(std::lround(twips * dpi / kTwipsPerInch));
}

QString valueText(float twips) {
    char buffer[64];
    // Fixed notation keeps the text plain ("1005", "66.5"), never "1e+06".
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, twips, std::chars_format::fixed);
    return QString::fromLatin1(buffer, int(result.ptr - buffer));
}

QRect storedFrame(QSettings &settings, double dpiX, double dpiY) {
    const double defaults[4] = {kDefaultLeft, kDefaultTop, kDefaultWidth, kDefaultHeight};
    const double dpis[4] = {dpiX, dpiY, dpiX, dpiY};
    int pixels[4];
    for (int i = 0; i < 4; ++i) {
        const QVariant stored = settings.value(keyPath(i));
        double twips = stored.isValid() ? readValue(stored.toString(), defaults[i]) : defaults[i];
        if (std::abs(twips * dpis[i] / kTwipsPerInch) > kLargestPixels)
            twips = defaults[i];
        pixels[i] = twipsToPixels(twips, dpis[i]);
    }
    return QRect(pixels[0], pixels[1], pixels[2], pixels[3]);
}

void storeFrame(QSettings &settings, const QRect &frame, double dpiX, double dpiY) {
    const int pixels[4] = {frame.left(), frame.top(), frame.width(), frame.height()};
    const double dpis[4] = {dpiX, dpiY, dpiX, dpiY};
    for (int i = 0; i < 4; ++i)
        settings.setValue(keyPath(i), valueText(float(pixelsToTwips(pixels[i], dpis[i]))));
    settings.sync();
}

} // namespace placement
