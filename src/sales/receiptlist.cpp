// Print-zone layout and painting of the customer's list.
#include "receiptlist.h"

#include "screenheading.h"

#include <QFontMetrics>
#include <QPainter>
#include <QScrollBar>

namespace {
// Room between the list's edge and zone 0, so the first letter is not glued to the frame.
constexpr int leftMargin = 3;
} // namespace

ReceiptList::ReceiptList(QWidget *parent) : QAbstractScrollArea(parent) {
    setFont(arialFont(8.25));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    // A narrow window scrolls the list sideways rather than cut a line short.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
}

void ReceiptList::setItemZones(QList<int> zones) {
    itemZones_ = std::move(zones);
    measureAllLines();
    updateScrollRange();
    viewport()->update();
}

int ReceiptList::zoneWidth() const {
    return std::max(zoneChars * QFontMetrics(font()).averageCharWidth(), widenedZone_);
}

// The first item must end at least a character's width before the second item's zone.
bool ReceiptList::widenZonesFor(const QStringList &items) {
    if (items.isEmpty() || itemZones_.size() < 2 || itemZones_[1] <= 0)
        return false;
    const QFontMetrics metrics(font());
    const int needed = metrics.horizontalAdvance(items[0]) + metrics.averageCharWidth();
    const int zone = (needed + itemZones_[1] - 1) / itemZones_[1];
    if (zone <= zoneWidth())
        return false;
    widenedZone_ = zone;
    emit zonesChanged();
    return true;
}

int ReceiptList::lineEnd(const QStringList &items) const {
    if (items.isEmpty())
        return 0;
    return layoutLine(items).constLast() +
           QFontMetrics(font()).horizontalAdvance(items.constLast());
}

void ReceiptList::measureAllLines() {
    widestLine_ = 0;
    for (const QStringList &items : lines_)
        widestLine_ = std::max(widestLine_, lineEnd(items));
}

int ReceiptList::zoneStart(int zone) const {
    return frameWidth() + leftMargin + zone * zoneWidth();
}

int ReceiptList::lineHeight() const {
    return QFontMetrics(font()).lineSpacing();
}

QList<int> ReceiptList::layoutLine(const QStringList &items) const {
    const QFontMetrics metrics(font());
    const int zone = zoneWidth();
    QList<int> starts;
    int end = 0;
    for (int i = 0; i < items.size(); ++i) {
        int x = 0;
        if (i > 0)
            x = (end / zone + 1) * zone;
        if (i < itemZones_.size())
            x = std::max(x, itemZones_[i] * zone);
        starts << x;
        end = x + metrics.horizontalAdvance(items[i]);
    }
    return starts;
}

int ReceiptList::itemX(int line, int item) const {
    return layoutLine(lines_.at(static_cast<std::size_t>(line))).value(item, -1);
}

void ReceiptList::printLine(const QStringList &items) {
    const bool widened = widenZonesFor(items);
    lines_.push_back(items);
    if (widened)
        measureAllLines();
    else
        widestLine_ = std::max(widestLine_, lineEnd(items));
    updateScrollRange();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum()); // the newest line in view
    viewport()->update();
}

void ReceiptList::clear() {
    lines_.clear();
    widestLine_ = 0;
    if (widenedZone_ != 0) {
        widenedZone_ = 0;
        emit zonesChanged();
    }
    updateScrollRange();
    viewport()->update();
}

void ReceiptList::updateScrollRange() {
    const int content = lineCount() * lineHeight();
    verticalScrollBar()->setRange(0, std::max(0, content - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setSingleStep(lineHeight());
    const int room = viewport()->width() - 2 * leftMargin;
    horizontalScrollBar()->setRange(0, std::max(0, widestLine_ - room));
    horizontalScrollBar()->setPageStep(room);
}

void ReceiptList::resizeEvent(QResizeEvent *event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
}

void ReceiptList::paintEvent(QPaintEvent *) {
    QPainter painter(viewport());
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::Text));
    const QFontMetrics metrics(font());
    const int height = lineHeight();
    const int top = verticalScrollBar()->value();
    const int left = leftMargin - horizontalScrollBar()->value();
    const int first = top / height;
    for (int i = first; i < lineCount() && i * height - top < viewport()->height(); ++i) {
        const QStringList &items = lines_[static_cast<std::size_t>(i)];
        const QList<int> starts = layoutLine(items);
        const int baseline = i * height - top + metrics.ascent();
        for (int item = 0; item < items.size(); ++item)
            painter.drawText(left + starts[item], baseline, items[item]);
    }
}
