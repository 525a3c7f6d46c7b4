// Print-zone layout and painting of the customer's list.
#include "receiptlist.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QScrollBar>

namespace {
// Room between the list's edge and zone 0, so the first letter is not glued to the frame.
constexpr int leftMargin = 3;
} // namespace

ReceiptList::ReceiptList(QWidget *parent) : QAbstractScrollArea(parent) {
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(8.25);
    setFont(font);
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
}

void ReceiptList::setItemZones(QList<int> zones) {
    itemZones_ = std::move(zones);
    viewport()->update();
}

int ReceiptList::zoneWidth() const {
    return zoneChars * QFontMetrics(font()).averageCharWidth();
}

int ReceiptList::zoneStart(int zone) const {
    return frameWidth() + leftMargin + zone * zoneWidth();
}

int ReceiptList::lineHeight() const {
    return QFontMetrics(font()).lineSpacing();
}

QList<int> ReceiptList::layoutLine(const QStringList &items, QString *firstShown) const {
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
        QString shown = items[i];
        if (i == 0 && itemZones_.size() > 1) {
            // A wide title is cut short of the next column; its full text is in the sale row.
            const int room = itemZones_[1] * zone - metrics.averageCharWidth();
            shown = metrics.elidedText(shown, Qt::ElideRight, room);
            if (firstShown != nullptr)
                *firstShown = shown;
        }
        starts << x;
        end = x + metrics.horizontalAdvance(shown);
    }
    return starts;
}

int ReceiptList::itemX(int line, int item) const {
    return layoutLine(lines_.at(static_cast<std::size_t>(line))).value(item, -1);
}

void ReceiptList::printLine(const QStringList &items) {
    lines_.push_back(items);
    updateScrollRange();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum()); // the newest line in view
    viewport()->update();
}

void ReceiptList::clear() {
    lines_.clear();
    updateScrollRange();
    viewport()->update();
}

void ReceiptList::updateScrollRange() {
    const int content = lineCount() * lineHeight();
    verticalScrollBar()->setRange(0, std::max(0, content - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setSingleStep(lineHeight());
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
    const int first = top / height;
    for (int i = first; i < lineCount() && i * height - top < viewport()->height(); ++i) {
        const QStringList &items = lines_[static_cast<std::size_t>(i)];
        QString title;
        const QList<int> starts = layoutLine(items, &title);
        const int baseline = i * height - top + metrics.ascent();
        for (int item = 0; item < items.size(); ++item) {
            const QString &text = item == 0 && itemZones_.size() > 1 ? title : items[item];
            painter.drawText(leftMargin + starts[item], baseline, text);
        }
    }
}
