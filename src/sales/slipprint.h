// A slip of text rows on paper: the customer's receipt, a cash-up report. Rows are kept in
// groups that never break across a page; on a till roll (narrower than 100 mm) the slip is one
// strip as long as its rows, on a sheet it runs over as many pages as it needs.
#pragma once

#include <QRectF>
#include <QString>
#include <vector>

class QPrinter;

namespace slip {

// One piece of text (or, with empty text, a rule) on a page, in device pixels of the page's
// printable area.
struct Placed {
    int page = 0;
    QRectF rect;
    QString text;
    int flags = 0; // Qt alignment and wrapping
    bool bold = false;
    bool large = false;
};

struct Group {
    double height = 0;
    std::vector<Placed> items; // rectangles from the group's top
};

class Builder {
public:
    explicit Builder(QPrinter &printer);

    // A row: `left` wrapped between words (and anywhere in a word wider than the paper), and
    // `right`, when given, on the same line at the right edge.
    void row(const QString &left, const QString &right = QString(), bool bold = false,
             bool large = false, int align = Qt::AlignLeft);
    void rule();
    void gap();
    // The rows since the last group end stay together on one page.
    void endGroup();
    std::vector<Group> groups();

private:
    QPrinter &printer_;
    double width_;
    Group current_;
    std::vector<Group> groups_;
};

// Where every group goes on the printer's paper. On a roll the page length is set to fit.
std::vector<Placed> layOut(const std::vector<Group> &groups, QPrinter &printer);
// Paints what was laid out; returns the number of pages, 0 when the printer (or the file)
// could not be painted on.
int paint(const std::vector<Placed> &placed, QPrinter &printer);

} // namespace slip
