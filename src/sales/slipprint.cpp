// Laying a slip's rows out: groups kept together, set on pages or on one roll strip.
#include "slipprint.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

namespace slip {

namespace {

constexpr double mmPerInch = 25.4;
// Narrower than this, a paper is a till roll: it runs on instead of breaking into pages.
constexpr double widestRollMm = 100;
constexpr double shortestRollMm = 50;

double toMm(double pixels, const QPrinter &printer) {
    return pixels / printer.resolution() * mmPerInch;
}

// A roll is told by its width, whatever the print dialog calls it.
bool isRoll(const QPageSize &pageSize) {
    return pageSize.size(QPageSize::Millimeter).width() < widestRollMm;
}

// The slip's face on this printer's paper: smaller on a roll.
QFont font(const QPrinter &printer, bool bold, bool large) {
    QFont face;
    // The program's own faces; Chinese titles in a Traditional Chinese Ming face.
    face.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("DejaVu Sans"), QStringLiteral("AR PL UMing TW"),
                      QStringLiteral("Noto Sans CJK TC")});
    const bool roll = isRoll(printer.pageLayout().pageSize());
    face.setPointSizeF((roll ? 8.5 : 10) + (large ? 3 : 0));
    face.setBold(bold);
    return face;
}

} // namespace

Builder::Builder(QPrinter &printer)
    : printer_(printer),
      width_(printer.pageLayout().paintRectPixels(printer.resolution()).width()) {}

void Builder::row(const QString &left, const QString &right, bool bold, bool large, int align) {
    const QFontMetricsF metrics(font(printer_, bold, large), &printer_);
    const double rightWidth = right.isEmpty() ? 0 : metrics.horizontalAdvance(right) + 1;
    const double leftWidth =
        right.isEmpty() ? width_ : width_ - rightWidth - metrics.averageCharWidth();
    int flags = align | Qt::TextWordWrap;
    for (const QString &word : left.split(QLatin1Char(' ')))
        if (metrics.horizontalAdvance(word) > leftWidth)
            flags |= Qt::TextWrapAnywhere;
    const double height =
        std::max(metrics.lineSpacing(),
                 metrics.boundingRect(QRectF(0, 0, leftWidth, 1e6), flags, left).height());
    current_.items.push_back(
        {0, QRectF(0, current_.height, leftWidth, height), left, flags, bold, large});
    if (!right.isEmpty())
        current_.items.push_back(
            {0, QRectF(width_ - rightWidth, current_.height, rightWidth, metrics.lineSpacing()),
             right, Qt::AlignRight, bold, large});
    current_.height += height;
}

void Builder::rule() {
    const double height = QFontMetricsF(font(printer_, false, false), &printer_).lineSpacing() / 2;
    current_.items.push_back({0, QRectF(0, current_.height, width_, height), {}, 0});
    current_.height += height;
}

void Builder::gap() {
    current_.height += QFontMetricsF(font(printer_, false, false), &printer_).lineSpacing() / 2;
}

void Builder::endGroup() {
    if (current_.height > 0)
        groups_.push_back(std::move(current_));
    current_ = Group();
}

std::vector<Group> Builder::groups() {
    endGroup();
    return std::move(groups_);
}

std::vector<Placed> layOut(const std::vector<Group> &groups, QPrinter &printer) {
    const QPageLayout page = printer.pageLayout();
    if (isRoll(page.pageSize())) {
        // One strip: as long as the slip and its margins.
        double height = 0;
        for (const Group &group : groups)
            height += group.height;
        const QMarginsF margins = page.margins(QPageLayout::Millimeter);
        const QSizeF size = page.pageSize().size(QPageSize::Millimeter);
        const double length =
            std::max(shortestRollMm, toMm(height, printer) + margins.top() + margins.bottom() + 2);
        printer.setPageSize(QPageSize(QSizeF(size.width(), length), QPageSize::Millimeter,
                                      page.pageSize().name(), QPageSize::ExactMatch));
    }
    const double pageHeight = printer.pageLayout().paintRectPixels(printer.resolution()).height();
    std::vector<Placed> placed;
    int pageNo = 0;
    double top = 0;
    for (const Group &group : groups) {
        if (top > 0 && top + group.height > pageHeight) {
            ++pageNo;
            top = 0;
        }
        for (Placed item : group.items) {
            item.page = pageNo;
            item.rect.translate(0, top);
            placed.push_back(item);
        }
        top += group.height;
    }
    return placed;
}

int paint(const std::vector<Placed> &placed, QPrinter &printer) {
    QPainter painter(&printer);
    if (!painter.isActive())
        return 0; // a file that cannot be written, a printer gone
    int page = 0;
    for (const Placed &item : placed) {
        while (item.page > page) {
            printer.newPage();
            ++page;
        }
        if (item.text.isEmpty()) {
            painter.setPen(QPen(Qt::black, printer.resolution() / 200.0));
            const double y = item.rect.center().y();
            painter.drawLine(QPointF(item.rect.left(), y), QPointF(item.rect.right(), y));
            continue;
        }
        painter.setFont(font(printer, item.bold, item.large));
        painter.drawText(item.rect, item.flags, item.text);
    }
    return page + 1;
}

} // namespace slip
