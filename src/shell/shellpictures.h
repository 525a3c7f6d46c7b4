// The shell's pictures (toolbar buttons, program icon, backdrop), compiled in as SVG.
#pragma once

#include <QIcon>
#include <QString>

namespace shellpictures {

// Resource path of picture n (1..13) of the toolbar's image list; empty when out of range.
QString toolbarPicturePath(int picture);
// An icon drawn from an SVG resource at the usual small and large sizes.
QIcon svgIcon(const QString &resourcePath);
QIcon programIcon();
QString backdropPath();

} // namespace shellpictures
