// A window beside a report that draws its chart with Qt Charts, redraws it whenever the
// report's list is read again, and prints it or saves it as a PNG picture or a PDF file.
#pragma once

#include "saleschart.h"

#include <QWidget>
#include <functional>

class QChart;
class QChartView;
class QPushButton;
class RecordSource;

class ChartWindow : public QWidget {
    Q_OBJECT
public:
    // A window of its own, owned by the report `screen`; `chart` works out what to draw from
    // `list`, the report's record source.
    ChartWindow(QWidget *screen, RecordSource *list, std::function<SalesChart()> chart);
    // The report's "Chart" button (cmdChart): its first press makes the window, each press
    // draws the chart and brings the window to the front.
    static QPushButton *button(QWidget *screen, RecordSource *list, const QString &toolTip,
                               std::function<SalesChart()> chart);

    // Draws the chart of the list as it is now.
    void redraw();
    // Draws it and brings the window to the front, where the operator asked for it.
    void present();
    QChart *chart() const;

    // Saves the chart as a picture (.png) or a PDF file (.pdf), by the file's name. False
    // when the file could not be written.
    bool saveTo(const QString &path) const;
    void print();
    void saveAs();

private:
    void fitValueLabels();

    QChartView *view_;
    QSizeF fittedTo_; // the plot size the labels were last fitted to
    std::function<SalesChart()> build_;
    SalesChart shown_;
};
