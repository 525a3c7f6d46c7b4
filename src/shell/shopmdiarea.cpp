// Paints the backdrop picture over the plain background, centred and scaled down to fit.
#include "shopmdiarea.h"

#include "shellpictures.h"

#include <QPaintEvent>
#include <QPainter>

ShopMdiArea::ShopMdiArea(QWidget *parent)
    : QMdiArea(parent), backdrop_(shellpictures::backdropPath()) {
    setBackground(backgroundColour());
}

void ShopMdiArea::paintEvent(QPaintEvent *event) {
    QMdiArea::paintEvent(event);
    if (!backdrop_.isValid())
        return;
    const QRect area = viewport()->rect();
    // Never larger than its own size nor than 60% of the area, so it stays a backdrop.
    QSizeF size = backdrop_.defaultSize();
    size.scale(QSizeF(area.size()) * 0.6, Qt::KeepAspectRatio);
    if (size.width() > backdrop_.defaultSize().width())
        size = backdrop_.defaultSize();
    QRectF target(QPointF(0, 0), size);
    target.moveCenter(QRectF(area).center());
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRegion(event->region());
    backdrop_.render(&painter, target);
}
