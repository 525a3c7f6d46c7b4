// Draws the shell's SVG pictures into icons without depending on an icon-engine plugin.
#include "shellpictures.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <array>
#include <initializer_list>

// The resources live in a static library: make sure they are registered before use.
static void ensureShellResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(shell);
        return true;
    }();
    (void)registered;
}

namespace shellpictures {

namespace {
constexpr std::array<const char *, 13> kPictureFiles = {
    "01-invoice",   "02-safeqty",     "03-sellbook", "04-top10",     "05-bookqry",
    "06-dayreport", "07-monthreport", "08-onsale",   "09-printbill", "10-paybill",
    "11-close",     "12-newqty",      "13-newtitle",
};

QIcon drawnIcon(const QString &resourcePath, std::initializer_list<int> sizes) {
    ensureShellResources();
    QSvgRenderer renderer(resourcePath);
    QIcon icon;
    if (!renderer.isValid())
        return icon;
    for (int size : sizes) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, size, size));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
} // namespace

QString toolbarPicturePath(int picture) {
    if (picture < 1 || picture > int(kPictureFiles.size()))
        return {};
    return QStringLiteral(":/shell/icons/%1.svg").arg(kPictureFiles[picture - 1]);
}

QIcon svgIcon(const QString &resourcePath) {
    return drawnIcon(resourcePath, {16, 24, 32, 48, 64});
}

QIcon programIcon() {
    // Task bars, switchers and docks ask for large ones too.
    return drawnIcon(QStringLiteral(":/shell/icons/quillmart.svg"),
                     {16, 22, 24, 32, 48, 64, 128, 256});
}

QString backdropPath() {
    ensureShellResources();
    return QStringLiteral(":/shell/icons/backdrop.svg");
}

} // namespace shellpictures
