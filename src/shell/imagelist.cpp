// The 13 toolbar pictures, loaded once per main window.
#include "imagelist.h"

#include "shellpictures.h"

ImageList::ImageList(QObject *parent) : QObject(parent) {
    setObjectName(QStringLiteral("imlIcons"));
    for (int n = 1;; ++n) {
        const QString path = shellpictures::toolbarPicturePath(n);
        if (path.isEmpty())
            break;
        pictures_.append(shellpictures::svgIcon(path));
    }
}

QIcon ImageList::picture(int n) const {
    return n >= 1 && n <= count() ? pictures_[n - 1] : QIcon();
}
