// The banded-report renderer: page layout in twips, then painting on a QPrinter.
#include "bandedreport.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QPageLayout>
#include <QPaintEngine>
#include <QPainter>
#include <QPrinter>

QString ReportRecords::text(int row, const QString &field) const {
    int column = -1;
    for (int i = 0; i < fields.size() && column < 0; ++i)
        if (fields[i].compare(field, Qt::CaseInsensitive) == 0)
            column = i;
    if (row < 0 || row >= rows.size() || column < 0)
        return {};
    return rows[row].value(column);
}

namespace bandedreport {

namespace {

class PageBuilder {
public:
    PageBuilder(const ReportLayout &layout, const ReportRecords &records, QSize paper)
        : layout_(layout), records_(records), paper_(paper) {}

    QList<ReportPage> build() {
        startPage();
        place(layout_.reportHeader, -1);
        place(layout_.pageHeader, -1);
        for (int row = 0; row < records_.rows.size(); ++row) {
            if (!fits(layout_.detail))
                breakPage();
            place(layout_.detail, row);
        }
        // An empty report footer prints nothing, so it never starts a page of its own.
        if (!fits(layout_.reportFooter) && !layout_.reportFooter.items.isEmpty())
            breakPage();
        if (fits(layout_.reportFooter))
            place(layout_.reportFooter, -1);
        finishPage();
        return pages_;
    }

private:
    // Everything but the page footer must end above it.
    bool fits(const ReportBand &band) const {
        const int bottom = paper_.height() - layout_.margin - layout_.pageFooter.height;
        return y_ + band.height <= bottom;
    }

    void startPage() {
        pages_.append(ReportPage{});
        y_ = layout_.margin;
    }

    void finishPage() {
        y_ = paper_.height() - layout_.margin - layout_.pageFooter.height;
        place(layout_.pageFooter, -1);
    }

    void breakPage() {
        finishPage();
        startPage();
        place(layout_.pageHeader, -1);
    }

    void place(const ReportBand &band, int row) {
        for (PlacedItem placed : band.items) {
            if (placed.kind == ReportItem::Kind::Field)
                placed.text = records_.text(row, placed.text);
            placed.rect.translate(layout_.margin, y_);
            pages_.last().items.append(placed);
        }
        y_ += band.height;
    }

    const ReportLayout &layout_;
    const ReportRecords &records_;
    QSize paper_;
    QList<ReportPage> pages_;
    int y_ = 0;
};

// Ming faces come in one light weight only. On screen the font engine thickens them for bold,
// but the PDF writer (which printing goes through as well) does not: there a bold item gets a
// second pass a hair to the right.
bool needsDrawnBold(QPainter &painter, const QFont &font, int weight) {
    if (weight < QFont::DemiBold || painter.paintEngine()->type() != QPaintEngine::Pdf)
        return false;
    const QString family = QFontInfo(font).family();
    for (const QString &style : QFontDatabase::styles(family))
        if (QFontDatabase::weight(family, style) >= QFont::DemiBold)
            return false;
    return true;
}

void drawItem(QPainter &painter, const QString &family, const PlacedItem &item,
              double pixelsPerTwip) {
    QFont font(family);
    font.setPointSizeF(item.pointSize);
    font.setWeight(QFont::Weight(item.weight));
    painter.setFont(font);
    const QRectF rect(QPointF(item.rect.topLeft()) * pixelsPerTwip,
                      QSizeF(item.rect.size()) * pixelsPerTwip);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    painter.drawText(rect, flags, item.text);
    if (needsDrawnBold(painter, font, item.weight)) {
        const double shift = item.pointSize * twipsPerPoint * pixelsPerTwip / 28;
        painter.drawText(rect.translated(shift, 0), flags, item.text);
    }
}

} // namespace

QList<ReportPage> layoutPages(const ReportLayout &layout, const ReportRecords &records,
                              QSize paperTwips) {
    return PageBuilder(layout, records, paperTwips).build();
}

int print(QPrinter &printer, const ReportLayout &layout, const ReportRecords &records) {
    // The report places everything from the paper's corner, its own margins included.
    printer.setFullPage(true);
    const QSizeF paperPoints = printer.pageLayout().fullRect(QPageLayout::Point).size();
    const QSize paper(qRound(paperPoints.width() * twipsPerPoint),
                      qRound(paperPoints.height() * twipsPerPoint));
    const QList<ReportPage> pages = layoutPages(layout, records, paper);

    QPainter painter;
    if (!painter.begin(&printer))
        return 0;
    const double pixelsPerTwip = printer.resolution() / double(twipsPerInch);
    for (int page = 0; page < pages.size(); ++page) {
        if (page > 0)
            printer.newPage();
        for (const PlacedItem &item : pages[page].items)
            drawItem(painter, layout.fontFamily, item, pixelsPerTwip);
    }
    painter.end();
    return static_cast<int>(pages.size());
}

} // namespace bandedreport
