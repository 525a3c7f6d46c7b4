// A small banded-report renderer: a report is five bands (report header, page header,
// detail, page footer, report footer) of labels and fields placed in twips. Laying out the
// pages is kept apart from painting them, so that what a report prints can be checked
// without reading pixels.
#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

class QPrinter;

constexpr int twipsPerInch = 1440;
constexpr int twipsPerPoint = 20;

struct ReportItem {
    enum class Kind { Label, Field };
    Kind kind = Kind::Label;
    QString name; // the control's name in the report ("Label5", "Text1")
    QString text; // a label's caption, or the name of the field a text box shows
    QRect rect;   // left, top, width, height in twips within its band
    double pointSize = 9;
    int weight = 400; // 400 normal, 700 bold
};

struct ReportBand {
    int height = 0; // twips
    QList<ReportItem> items;
};

struct ReportLayout {
    QString fontFamily;
    int margin = twipsPerInch; // all four page margins, twips
    ReportBand reportHeader;
    ReportBand pageHeader;
    ReportBand detail;
    ReportBand pageFooter;
    ReportBand reportFooter;
};

// The report's data: field names and one row of display texts per detail line.
struct ReportRecords {
    QStringList fields;
    QList<QStringList> rows;
    // The text of a field in a row; empty when the data has no such field.
    QString text(int row, const QString &field) const;
};

// One item as it lands on a page: its text (a field's value, for a field) and its rectangle
// on the paper, in twips.
using PlacedItem = ReportItem;

struct ReportPage {
    QList<PlacedItem> items;
};

namespace bandedreport {

// Lays the report out on pages of this paper size (twips). The report header opens the
// first page, the page header and page footer are on every page, one detail band per row,
// a new page when the next band does not fit above the page footer.
QList<ReportPage> layoutPages(const ReportLayout &layout, const ReportRecords &records,
                              QSize paperTwips);

// Lays out and paints the report on the printer (a PDF file or a real printer). Returns the
// number of pages printed.
int print(QPrinter &printer, const ReportLayout &layout, const ReportRecords &records);

} // namespace bandedreport
