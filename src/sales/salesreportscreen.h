// What the day and the period sales reports share: a heading over a row of date pickers, the
// read-only grid of the sales listed, their takings in a box under it, and a chart of them.
#pragma once

#include "saleschart.h"
#include "shopscreen.h"

class DataGrid;
class DatePicker;
class QLabel;
class QLayout;
class QPushButton;
class RecordSource;

class SalesReportScreen : public ShopScreen {
    Q_OBJECT
public:
    // What one report names and draws differently from the other.
    struct Description {
        const char *screenId;
        const char *windowTitle;
        const char *heading;
        const char *totalCaptionName;
        const char *totalCaption;
        const char *totalButtonName; // the totalling step's button, never shown
        const char *chartTip;
        SalesChart (*chart)(RecordSource &sales, const QString &caption);
        QSize openingSize; // shows every column of the grid
    };

    // The totalling step: the takings from the first picker's day to the last picker's.
    void total();

protected:
    // The report opens listing the sales of `firstListing`; a missing table is reported here.
    SalesReportScreen(const ShopContext &context, const Description &description,
                      const QString &firstListing, QWidget *parent);

    // The "Chart" button, for the screen's row of pickers.
    QPushButton *chartButton();
    // Builds the rest of the screen under the heading and the row of pickers; the grid comes
    // after `lastPick` when the operator tabs.
    void addGridAndTotal(QLayout *pickRow, QWidget *lastPick);
    // Lists the sales of `query` under a caption naming `period`, and totals them. A listing
    // that fails leaves no total under a grid that still shows another period.
    void listSales(const QString &period, const QString &query);

    RecordSource *sales_;
    // The period's first and last day; the day report's period is its one picker.
    DatePicker *firstPicker_ = nullptr;
    DatePicker *lastPicker_ = nullptr;
    DataGrid *grid_ = nullptr;

private:
    Description description_;
    QLabel *totalLabel_ = nullptr;
};
