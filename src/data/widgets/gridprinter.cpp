// Paints a paged table: each page sized from the device's own page and resolution, so the
// same code serves paper, the preview and a PDF file.
#include "gridprinter.h"

#include <QFont>
#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>

namespace {

struct Metrics {
    QRect page;
    int line = 0; // height of one table line
    int head = 0; // height of the page head (title, subtitle, rule)
    int foot = 0; // height of the page foot
    QFont body, bold, title;
};

Metrics measure(QPagedPaintDevice &device) {
    Metrics m;
    const QRect paint = device.pageLayout().paintRectPixels(device.logicalDpiX());
    m.page = QRect(0, 0, paint.width(), paint.height());
    m.body = QFont(QStringLiteral("DejaVu Sans"), 9);
    m.bold = m.body;
    m.bold.setBold(true);
    m.title = m.body;
    m.title.setPointSize(12);
    m.title.setBold(true);
    const QFontMetrics body(m.body, &device);
    m.line = body.height() * 13 / 10;
    m.head = QFontMetrics(m.title, &device).height() + 2 * body.height();
    m.foot = 2 * body.height();
    return m;
}

int fitting(const Metrics &m) {
    // The caption line counts as one table line.
    return qMax(1, (m.page.height() - m.head - m.foot) / m.line - 1);
}

} // namespace

namespace gridprinter {

int rowsPerPage(QPagedPaintDevice &device) {
    return fitting(measure(device));
}

int print(QPagedPaintDevice &device, const PrintedTable &table) {
    const Metrics m = measure(device);
    const int perPage = fitting(m);
    const int pages = qMax(1, (table.rows + perPage - 1) / perPage);

    // Column edges: the grid's widths stretched or shrunk to the page.
    double total = 0;
    for (int width : table.widths)
        total += qMax(1, width);
    QList<int> edges{0};
    double at = 0;
    for (int width : table.widths) {
        at += qMax(1, width) * m.page.width() / qMax(1.0, total);
        edges << static_cast<int>(at);
    }
    const int pad = QFontMetrics(m.body, &device).averageCharWidth() / 2 + 1;

    QPainter painter(&device);
    // A cell of a line: its column's room less a little either side, the text cut to fit.
    const auto drawCell = [&](qsizetype column, int y, const QString &text) {
        const QRect box(edges[column] + pad, y, edges[column + 1] - edges[column] - 2 * pad,
                        m.line);
        const bool right = table.alignedRight.value(column, false);
        painter.drawText(box, (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                         painter.fontMetrics().elidedText(text, Qt::ElideRight, box.width()));
    };
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            device.newPage();
        // Head: the screen's caption on the left, the date on the right, the grid's caption
        // under them, then a rule.
        painter.setFont(m.title);
        const int titleHeight = QFontMetrics(m.title, &device).height();
        painter.drawText(QRect(0, 0, m.page.width(), titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         table.title);
        painter.setFont(m.body);
        painter.drawText(QRect(0, 0, m.page.width(), titleHeight),
                         Qt::AlignRight | Qt::AlignVCenter, table.date);
        const int bodyHeight = QFontMetrics(m.body, &device).height();
        painter.drawText(QRect(0, titleHeight, m.page.width(), bodyHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, table.subtitle.trimmed());
        painter.drawLine(0, m.head - bodyHeight / 2, m.page.width(), m.head - bodyHeight / 2);

        // The column captions, on every page.
        int y = m.head;
        painter.fillRect(QRect(0, y, m.page.width(), m.line), QColor(225, 225, 225));
        painter.setFont(m.bold);
        for (qsizetype column = 0; column < table.captions.size(); ++column)
            drawCell(column, y, table.captions[column]);
        y += m.line;

        painter.setFont(m.body);
        const int first = page * perPage;
        const int last = qMin(table.rows, first + perPage);
        for (int row = first; row < last; ++row, y += m.line) {
            if ((row - first) % 2 == 1)
                painter.fillRect(QRect(0, y, m.page.width(), m.line), QColor(245, 245, 245));
            for (qsizetype column = 0; column < table.captions.size(); ++column) {
                QString text = table.cell ? table.cell(row, static_cast<int>(column)) : QString();
                drawCell(column, y, text.replace(u'\n', u' ').remove(u'\r')); // one line a row
            }
        }
        painter.drawLine(0, y, m.page.width(), y);

        painter.drawText(QRect(0, m.page.height() - m.foot, m.page.width(), m.foot),
                         Qt::AlignHCenter | Qt::AlignBottom,
                         QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages));
    }
    painter.end();
    return pages;
}

} // namespace gridprinter
