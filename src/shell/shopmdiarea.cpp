// Paints the backdrop picture over the plain background, centred and scaled down to fit;
// places each child window where all of it can be reached.
#include "shopmdiarea.h"

#include "shellpictures.h"

#include <QMdiSubWindow>
#include <QPaintEvent>
#include <QPainter>

namespace {
const char *const placedProperty = "quillmartPlaced";
} // namespace

ShopMdiArea::ShopMdiArea(QWidget *parent)
    : QMdiArea(parent), backdrop_(shellpictures::backdropPath()) {
    setBackground(QColor(0xC0, 0xFF, 0xC0));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

bool ShopMdiArea::eventFilter(QObject *watched, QEvent *event) {
    const bool handled = QMdiArea::eventFilter(watched, event);
    if (event->type() == QEvent::Show)
        if (auto *window = qobject_cast<QMdiSubWindow *>(watched))
            placeOnFirstShow(window);
    return handled;
}

// The area's own placement puts a window larger than the area partly off its top-left edge,
// where no scroll bar reaches. It opens at the top-left corner instead, or nearer to it so
// that it fits, and the scroll bars show the rest.
void ShopMdiArea::placeOnFirstShow(QMdiSubWindow *window) {
    if (window->property(placedProperty).toBool() || window->isMaximized())
        return;
    window->setProperty(placedProperty, true);
    const QSize room = viewport()->size();
    QPoint at = window->pos();
    at.setX(std::max(0, std::min(at.x(), room.width() - window->width())));
    at.setY(std::max(0, std::min(at.y(), room.height() - window->height())));
    if (at != window->pos())
        window->move(at);
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
