// A list on paper: a paged table with the screen's caption and the date at the head of each
// page, the column captions repeated under it, and "Page n of m" at the foot.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class QPagedPaintDevice;

struct PrintedTable {
    QString title;    // the screen's caption
    QString subtitle; // the grid's caption line, when it has one
    QString date;     // the day printed, as the shop writes dates
    QStringList captions;
    QList<int> widths;        // relative column widths (the grid's, in pixels)
    QList<bool> alignedRight; // numbers stand to the right
    int rows = 0;
    std::function<QString(int row, int column)> cell;
};

namespace gridprinter {

// Lines of the table that fit on one page of the device.
int rowsPerPage(QPagedPaintDevice &device);
// Paints every page onto the device (a printer, a PDF file); returns the number of pages.
int print(QPagedPaintDevice &device, const PrintedTable &table);

} // namespace gridprinter
