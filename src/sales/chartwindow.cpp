// The chart window: bar or column chart, axis of values, the number on each bar.
#include "chartwindow.h"

#include "errorpolicy.h"
#include "messageboxes.h"
#include "printpreview.h"
#include "recordsource.h"
#include "screenheading.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QHorizontalBarSeries>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>

namespace {

void renderChart(QChartView *view, QPaintDevice &device) {
    QPainter painter(&device);
    const QRect page = painter.viewport();
    // Drawn at the window's proportions, as large as the page allows.
    QSize size = view->size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    view->render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
}

} // namespace

ChartWindow::ChartWindow(QWidget *screen, RecordSource *list, std::function<SalesChart()> chart)
    : QWidget(screen, Qt::Window), build_(std::move(chart)) {
    setObjectName(QStringLiteral("chartWindow"));
    view_ = named<QChartView>("chartView", new QChart, this);
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setMinimumSize(520, 360);

    QHBoxLayout *buttons = buttonRow(
        {rowStretch,
         stepButton("cmdPrintChart", QStringLiteral("&Print…"), this, &ChartWindow::print),
         stepButton("cmdSaveChart", QStringLiteral("&Save As…"), this, &ChartWindow::saveAs),
         stepButton("cmdCloseChart", QStringLiteral("&Close"), this, &QWidget::close)});
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(view_, 1);
    layout->addLayout(buttons);
    resize(720, 480);

    // The labels are fitted again whenever the plot takes another size (a window resized,
    // longer axis labels); only then, so that fitting, which moves the axis, ends there.
    connect(
        view_->chart(), &QChart::plotAreaChanged, this,
        [this](const QRectF &plot) {
            if (plot.size() != fittedTo_)
                fitValueLabels();
        },
        Qt::QueuedConnection);
    // A new listing redraws the chart while its window is open.
    connect(list, &RecordSource::reset, this, [this] {
        if (isVisible())
            redraw();
    });
}

QPushButton *ChartWindow::button(QWidget *screen, RecordSource *list, const QString &toolTip,
                                 std::function<SalesChart()> chart) {
    auto *button = named<QPushButton>("cmdChart", QStringLiteral("Chart"), screen);
    button->setToolTip(toolTip);
    connect(button, &QPushButton::clicked, screen,
            [=, window = static_cast<ChartWindow *>(nullptr)]() mutable {
                if (window == nullptr)
                    window = new ChartWindow(screen, list, chart);
                window->present();
            });
    return button;
}

QChart *ChartWindow::chart() const {
    return view_->chart();
}

void ChartWindow::present() {
    redraw();
    show();
    raise();
    activateWindow();
}

void ChartWindow::redraw() {
    policy::skipOnError([&] { shown_ = build_(); });
    setWindowTitle(shown_.title);
    QChart *chart = view_->chart();
    chart->removeAllSeries();
    for (QAbstractAxis *axis : chart->axes())
        chart->removeAxis(axis), delete axis;
    chart->setTitle(shown_.title);
    QFont titleFont = chart->titleFont();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    chart->setTitleFont(titleFont);
    chart->legend()->setVisible(false);

    auto *set = new QBarSet(shown_.valueTitle);
    QStringList categories = shown_.categories;
    QList<double> values = shown_.values;
    if (shown_.bars) {
        // Bars across are drawn from the bottom up: reversed, the best seller stands on top.
        std::reverse(categories.begin(), categories.end());
        std::reverse(values.begin(), values.end());
    }
    set->append(values);
    // Numbers inside the bars stand out in white; above the columns, in black.
    set->setLabelColor(shown_.bars ? Qt::white : Qt::black);
    QAbstractBarSeries *series =
        shown_.bars ? static_cast<QAbstractBarSeries *>(new QHorizontalBarSeries) : new QBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsFormat(QStringLiteral("@value"));
    series->setLabelsPrecision(15); // 1234567.5, never 1.23457e+06
    series->setLabelsPosition(shown_.bars ? QAbstractBarSeries::LabelsInsideEnd
                                          : QAbstractBarSeries::LabelsOutsideEnd);
    chart->addSeries(series);
    // The value of the bar under the pointer, also where its label had no room.
    connect(series, &QAbstractBarSeries::hovered, view_, [this](bool on, int index) {
        const qsizetype at = shown_.bars ? shown_.values.size() - 1 - index : index;
        QToolTip::showText(QCursor::pos(),
                           on ? shown_.categories.value(at) + QStringLiteral(": ") +
                                    shown_.valueTexts.value(at)
                              : QString(),
                           view_);
    });

    auto *categoryAxis = new QBarCategoryAxis;
    categoryAxis->append(categories);
    if (!shown_.bars && categories.size() > 12)
        categoryAxis->setLabelsAngle(-90);
    auto *valueAxis = new QValueAxis;
    valueAxis->setTitleText(shown_.valueTitle);
    valueAxis->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(categoryAxis, shown_.bars ? Qt::AlignLeft : Qt::AlignBottom);
    chart->addAxis(valueAxis, shown_.bars ? Qt::AlignBottom : Qt::AlignLeft);
    series->attachAxis(categoryAxis);
    series->attachAxis(valueAxis);
    fitValueLabels();
}

// A number over each column where it fits there level; turned upright where only that fits;
// left out where neither does, rather than running into its neighbours (the value then shows
// when the pointer rests on the column). The value axis reaches high enough that the label of
// the tallest column is not cut off at the top.
void ChartWindow::fitValueLabels() {
    QChart *chart = view_->chart();
    auto *series = qobject_cast<QAbstractBarSeries *>(chart->series().value(0));
    QValueAxis *valueAxis = nullptr;
    for (QAbstractAxis *axis : chart->axes())
        valueAxis = valueAxis != nullptr ? valueAxis : qobject_cast<QValueAxis *>(axis);
    if (series == nullptr || valueAxis == nullptr)
        return;
    double top = 0;
    for (double value : shown_.values)
        top = std::max(top, value);
    if (shown_.bars || shown_.values.isEmpty() || top <= 0) {
        valueAxis->setRange(0, top > 0 ? top * 1.1 : 1);
        valueAxis->applyNiceNumbers();
        return;
    }
    const QRectF plot = chart->plotArea();
    fittedTo_ = plot.size();
    if (plot.width() <= 0 || plot.height() <= 0)
        return; // laid out once the window is
    const QFontMetricsF metrics(series->barSets().constFirst()->labelFont());
    double widest = 0;
    for (const QString &text : shown_.valueTexts)
        widest = std::max(widest, metrics.horizontalAdvance(text));
    const double column = plot.width() / static_cast<double>(shown_.values.size());
    const double gap = metrics.averageCharWidth();
    double above = 0; // room the tallest column's label needs over it
    if (widest + gap <= column) {
        series->setLabelsAngle(0);
        above = metrics.height();
    } else if (metrics.height() + gap / 2 <= column) {
        series->setLabelsAngle(-90);
        above = widest;
    }
    series->setLabelsVisible(above > 0);
    above += gap;
    // The tallest column stands `above` pixels below the plot's top.
    const double room = plot.height() - above;
    valueAxis->setRange(0, room > plot.height() / 3 ? top * plot.height() / room : top * 3);
    valueAxis->applyNiceNumbers();
}

bool ChartWindow::saveTo(const QString &path) const {
    if (path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        QPdfWriter pdf(path);
        pdf.setTitle(shown_.title);
        pdf.setPageOrientation(QPageLayout::Landscape);
        renderChart(view_, pdf);
        return QFileInfo(path).size() > 0;
    }
    return view_->grab().save(path, "PNG");
}

void ChartWindow::saveAs() {
    QString filter;
    QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save Chart"), windowTitle().simplified() + QStringLiteral(".png"),
        QStringLiteral("PNG picture (*.png);;PDF file (*.pdf)"), &filter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += filter.contains(QStringLiteral("pdf")) ? QStringLiteral(".pdf")
                                                       : QStringLiteral(".png");
    if (!saveTo(path)) {
        WidgetMessageBoxes boxes(this);
        boxes.inform(QStringLiteral("The chart could not be saved as %1.").arg(path),
                     MessageBoxes::Icon::Warning, QString());
    }
}

void ChartWindow::print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(shown_.title);
    QPrintPreviewDialog preview(&printer, this);
    printpreview::fit(&preview, QSize(820, 640));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter *device) { renderChart(view_, *device); });
    preview.exec();
}
