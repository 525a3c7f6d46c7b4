// The receipt's layout: groups of text rows kept together, set on pages or on one roll strip.
#include "receiptprint.h"

#include "conversions.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <cmath>

namespace receipt {

namespace {

constexpr double mmPerInch = 25.4;
// Narrower than this, a paper is a till roll: it runs on instead of breaking into pages.
constexpr double widestRollMm = 100;
constexpr double rollMarginMm = 3;
constexpr double pageMarginMm = 15;
constexpr double shortestRollMm = 50;

struct Group {
    double height = 0;
    std::vector<Placed> items; // rectangles from the group's top
};

QFont receiptFont(const QPrinter &printer, bool bold, bool large) {
    QFont font;
    // The program's own faces; Chinese titles in a Traditional Chinese Ming face.
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("DejaVu Sans"), QStringLiteral("AR PL UMing TW"),
                      QStringLiteral("Noto Sans CJK TC")});
    const bool roll = isRoll(printer.pageLayout().pageSize());
    font.setPointSizeF((roll ? 8.5 : 10) + (large ? 3 : 0));
    font.setBold(bold);
    return font;
}

class Builder {
public:
    Builder(QPrinter &printer)
        : printer_(printer),
          width_(printer.pageLayout().paintRectPixels(printer.resolution()).width()) {}

    // Rows of one group, kept together on a page. Text is wrapped between words, and a word
    // wider than the paper (a long run of letters, a web address) wherever it must break.
    void row(const QString &left, const QString &right = QString(), bool bold = false,
             bool large = false, int align = Qt::AlignLeft) {
        const QFontMetricsF metrics(receiptFont(printer_, bold, large), &printer_);
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
    void rule() {
        const double height =
            QFontMetricsF(receiptFont(printer_, false, false), &printer_).lineSpacing() / 2;
        current_.items.push_back({0, QRectF(0, current_.height, width_, height), {}, 0});
        current_.height += height;
    }
    void gap() {
        current_.height +=
            QFontMetricsF(receiptFont(printer_, false, false), &printer_).lineSpacing() / 2;
    }
    void endGroup() {
        if (current_.height > 0)
            groups_.push_back(std::move(current_));
        current_ = Group();
    }
    std::vector<Group> groups() {
        endGroup();
        return std::move(groups_);
    }

private:
    QPrinter &printer_;
    double width_;
    Group current_;
    std::vector<Group> groups_;
};

std::vector<Group> build(const Receipt &receipt, QPrinter &printer) {
    Builder b(printer);
    if (!receipt.shopName.trimmed().isEmpty())
        b.row(receipt.shopName, {}, true, true, Qt::AlignHCenter);
    b.row(conv::dateText(receipt.when.date()) + QStringLiteral("  ") +
              conv::timeText(receipt.when.time()),
          {}, false, false, Qt::AlignHCenter);
    if (!receipt.number.isEmpty())
        b.row(QStringLiteral("Receipt %1").arg(receipt.number), receipt.till);
    b.rule();
    b.endGroup();
    bool anyOffer = false;
    for (const ReceiptLine &line : receipt.lines) {
        b.row(line.title);
        b.row(QStringLiteral("   %1 x %2%3")
                  .arg(QString::number(line.quantity), amountText(line.price, receipt.currency),
                       line.onOffer ? QStringLiteral(" *") : QString()),
              amountText(line.subtotal, receipt.currency));
        b.endGroup();
        anyOffer = anyOffer || line.onOffer;
    }
    b.rule();
    b.row(QStringLiteral("TOTAL"), amountText(receipt.total, receipt.currency), true);
    if (receipt.rounding)
        b.row(QStringLiteral("Cash rounding"), amountText(*receipt.rounding, receipt.currency));
    for (const ReceiptPayment &payment : receipt.payments) {
        b.row(payment.method, amountText(payment.tendered, receipt.currency));
        if (payment.given != Money())
            b.row(QStringLiteral("Change"), amountText(payment.given, receipt.currency), true);
    }
    if (anyOffer)
        b.row(QStringLiteral("* offer price"));
    b.endGroup();
    if (!receipt.servedBy.trimmed().isEmpty()) {
        b.gap();
        b.row(QStringLiteral("Served by: %1").arg(receipt.servedBy.trimmed()));
    }
    if (!receipt.footer.trimmed().isEmpty()) {
        b.gap();
        b.row(receipt.footer, {}, false, false, Qt::AlignHCenter);
    }
    return b.groups();
}

double toMm(double pixels, const QPrinter &printer) {
    return pixels / printer.resolution() * mmPerInch;
}

} // namespace

QString amountText(Money amount, const QString &currency) {
    const Money cents = amount.roundedToCents();
    const QLocale locale;
    const double magnitude = std::fabs(cents.toDouble());
    // A system without a language of its own (C, POSIX) has no place for the sign: before the
    // amount, as most tills print it.
    const QString shown = locale.language() == QLocale::C
                              ? currency + locale.toString(magnitude, 'f', 2)
                              : locale.toCurrencyString(magnitude, currency, 2);
    return cents < Money() ? QLatin1Char('-') + shown : shown;
}

QString paperName(Paper paper) {
    switch (paper) {
    case Paper::Roll80:
        return QStringLiteral("80 mm roll");
    case Paper::Roll58:
        return QStringLiteral("58 mm roll");
    case Paper::A4:
        return QStringLiteral("A4");
    case Paper::Letter:
        return QStringLiteral("Letter");
    }
    return {};
}

const std::vector<Paper> &allPapers() {
    static const std::vector<Paper> papers{Paper::Roll80, Paper::Roll58, Paper::A4, Paper::Letter};
    return papers;
}

Paper paperFromName(const QString &name) {
    for (Paper paper : allPapers())
        if (paperName(paper) == name)
            return paper;
    return Paper::Roll80;
}

bool isRoll(const QPageSize &pageSize) {
    return pageSize.size(QPageSize::Millimeter).width() < widestRollMm;
}

void setPaper(QPrinter &printer, Paper paper) {
    printer.setPageOrientation(QPageLayout::Portrait);
    if (paper == Paper::A4 || paper == Paper::Letter) {
        printer.setPageSize(QPageSize(paper == Paper::A4 ? QPageSize::A4 : QPageSize::Letter));
        printer.setPageMargins(QMarginsF(pageMarginMm, pageMarginMm, pageMarginMm, pageMarginMm),
                               QPageLayout::Millimeter);
        return;
    }
    const double width = paper == Paper::Roll80 ? 80 : 58;
    printer.setPageSize(QPageSize(QSizeF(width, 200), QPageSize::Millimeter, paperName(paper),
                                  QPageSize::ExactMatch));
    printer.setPageMargins(QMarginsF(rollMarginMm, rollMarginMm, rollMarginMm, rollMarginMm),
                           QPageLayout::Millimeter);
}

std::vector<Placed> layOut(const Receipt &receipt, QPrinter &printer) {
    const std::vector<Group> groups = build(receipt, printer);
    const QPageLayout page = printer.pageLayout();
    if (isRoll(page.pageSize())) {
        // One strip: as long as the receipt and its margins.
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

int print(const Receipt &receipt, QPrinter &printer) {
    const std::vector<Placed> placed = layOut(receipt, printer);
    QPainter painter(&printer);
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
        painter.setFont(receiptFont(printer, item.bold, item.large));
        painter.drawText(item.rect, item.flags, item.text);
    }
    return page + 1;
}

} // namespace receipt
