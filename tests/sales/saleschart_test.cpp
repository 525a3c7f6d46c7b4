// The charts of the sales reports: their bars against the sums the database itself gives for
// the listed sales, and redrawn when the list changes.
#include "chartwindow.h"
#include "conversions.h"
#include "datepicker.h"
#include "dayreportscreen.h"
#include "money.h"
#include "monthreportscreen.h"
#include "reportgrid.h"
#include "testserver.h"
#include "toptenscreen.h"

#include <QAbstractBarSeries>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QFile>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

// What the chart draws, one "label=value" per bar, the first bar (the best seller, the
// earliest hour or day) first.
QStringList drawn(const QWidget &screen) {
    auto *window = screen.findChild<ChartWindow *>(QStringLiteral("chartWindow"));
    if (window == nullptr || !window->isVisible())
        return {QStringLiteral("no chart window")};
    QStringList bars;
    const QList<QAbstractSeries *> series = window->chart()->series();
    if (series.size() != 1)
        return {QStringLiteral("%1 series").arg(series.size())};
    auto *barSeries = qobject_cast<QAbstractBarSeries *>(series.first());
    const QList<QAbstractAxis *> axes = barSeries->attachedAxes();
    QBarCategoryAxis *categories = nullptr;
    for (QAbstractAxis *axis : axes)
        if (auto *c = qobject_cast<QBarCategoryAxis *>(axis))
            categories = c;
    const QBarSet *set = barSeries->barSets().value(0);
    if (categories == nullptr || set == nullptr)
        return {QStringLiteral("no bars")};
    for (int i = 0; i < set->count(); ++i)
        bars << categories->at(i) + u'=' + conv::numberText(set->at(i));
    if (barSeries->type() == QAbstractSeries::SeriesTypeHorizontalBar)
        std::reverse(bars.begin(), bars.end()); // drawn from the bottom up
    return bars;
}

// The database's own sums, one "label=value" per group, with empty groups between the first
// and the last filled in as 0.
QStringList summed(TestDatabase &db, const QString &sql, const std::function<QString(int)> &label,
                   bool fillGaps) {
    QStringList bars;
    int previous = -1;
    for (const QString &line : db.rows(sql)) {
        const int key = line.section(u'|', 0, 0).toInt();
        for (int gap = previous + 1; fillGaps && previous >= 0 && gap < key; ++gap)
            bars << label(gap) + QStringLiteral("=0");
        bars << label(key) + u'=' + conv::numberText(line.section(u'|', 1, 1).toDouble());
        previous = key;
    }
    return bars;
}

QString dayLabel(int julian) {
    return conv::dateText(QDate::fromJulianDay(julian));
}

void setPeriod(QWidget &screen, const QDate &first, const QDate &last) {
    screen.findChild<DatePicker *>(QStringLiteral("DTPicker1"))->setDate(first);
    if (auto *second = screen.findChild<DatePicker *>(QStringLiteral("DTPicker2")))
        second->setDate(last);
}

void click(QWidget &screen, const char *button) {
    screen.findChild<QPushButton *>(QLatin1String(button))->click();
}

} // namespace

TEST(SalesChart, BarsMatchTheListedSales) {
    // Twelve titles in May: ISBN 9780000000001 .. 12, copies 3, 6, 9, ... with two totals
    // equal; a few sales outside the period; sales at several hours of May 3.
    struct Case {
        const char *name;
        const char *screen; // A1A2, frmDayReport, frmMonthRpt
        std::function<void(QWidget &)> steps;
        QString expectedSql; // rows "key|value"
        std::function<QString(int)> label;
        bool fillGaps;
    };
    auto titleOf = [](int isbn) { return QStringLiteral("Title %1").arg(isbn); };
    const QString topSql =
        QStringLiteral("SELECT cast(substr(ISBN, 4) AS int), sum(Qty) FROM soldbook WHERE SoldDate "
                       "BETWEEN '%1' AND '%2' GROUP BY ISBN ORDER BY sum(Qty) DESC, ISBN LIMIT 10");
    const QString hourSql = QStringLiteral(
        "SELECT cast(substr(SoldTime || '', 1, 2) AS int) AS h, sum(Price * Qty) FROM soldbook "
        "WHERE SoldDate = '%1' GROUP BY h ORDER BY h");
    // The day's number: the Julian day, as each engine counts it.
    const QString dayNumber = testserver::enabled()
                                  ? QStringLiteral("to_char(SoldDate, 'J')::int")
                                  : QStringLiteral("cast(julianday(SoldDate) + 0.5 AS int)");
    const QString daySql = QStringLiteral("SELECT %1 AS d, sum(Price * Qty) FROM soldbook "
                                          "WHERE SoldDate BETWEEN '%2' AND '%3' GROUP BY d "
                                          "ORDER BY d")
                               .arg(dayNumber, QStringLiteral("%1"), QStringLiteral("%2"));
    const QDate may1(2001, 5, 1), may3(2001, 5, 3), may31(2001, 5, 31);
    const Case cases[] = {
        {"top ten after List", "A1A2",
         [&](QWidget &s) { setPeriod(s, may1, may31), click(s, "command1"); },
         topSql.arg("2001-05-01", "2001-05-31"), titleOf, false},
        {"top ten after Rank", "A1A2",
         [&](QWidget &s) { setPeriod(s, may1, may31), click(s, "command1"), click(s, "Command2"); },
         topSql.arg("2001-05-01", "2001-05-31"), titleOf, false},
        {"top ten redrawn by a new List", "A1A2",
         [&](QWidget &s) {
             setPeriod(s, may1, may31), click(s, "command1"), click(s, "cmdChart");
             setPeriod(s, may3, may3), click(s, "command1");
         },
         topSql.arg("2001-05-03", "2001-05-03"), titleOf, false},
        {"day report by hour, redrawn by a new day", "frmDayReport",
         [&](QWidget &s) {
             click(s, "cmdChart");
             s.findChild<DatePicker *>("DTPicker1")->setDate(may3.addDays(1));
             s.findChild<DatePicker *>("DTPicker1")->setDate(may3);
         },
         hourSql.arg("2001-05-03"), [](int h) { return QStringLiteral("%1:00").arg(h); }, true},
        {"period report by day, redrawn by List", "frmMonthRpt",
         [&](QWidget &s) {
             click(s, "cmdChart");
             setPeriod(s, may1, may31), click(s, "Command1");
         },
         daySql.arg("2001-05-01", "2001-05-31"), dayLabel, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestShop shop;
        for (int isbn = 1; isbn <= 12; ++isbn)
            for (int sale = 0; sale < 3; ++sale)
                addSale(
                    shop.db,
                    QStringLiteral("2001-05-%1")
                        .arg(1 + (isbn * 5 + sale * 7) % 28, 2, 10, QLatin1Char('0')),
                    QStringLiteral("%1:15:00").arg(9 + (isbn + sale) % 9, 2, 10, QLatin1Char('0')),
                    QStringLiteral("978%1").arg(isbn, 10, 10, QLatin1Char('0')), titleOf(isbn),
                    QString::number(isbn * 2.5), QString::number(isbn == 12 ? 11 : isbn));
        addSale(shop.db, "2001-04-30", "10:00:00", "9780000000001", titleOf(1), "5", "100");
        addSale(shop.db, "2001-06-01", "10:00:00", "9780000000002", titleOf(2), "5", "100");
        std::unique_ptr<QWidget> screen;
        if (QByteArray(c.screen) == "A1A2")
            screen = std::make_unique<TopTenScreen>(shop.context);
        else if (QByteArray(c.screen) == "frmDayReport")
            screen = std::make_unique<DayReportScreen>(shop.context);
        else
            screen = std::make_unique<MonthReportScreen>(shop.context);
        screen->show();
        c.steps(*screen);
        click(*screen, "cmdChart");
        const QStringList expected = summed(shop.db, c.expectedSql, c.label, c.fillGaps);
        ASSERT_FALSE(expected.isEmpty());
        EXPECT_EQ(drawn(*screen), expected);
        // Saved as a picture and as a PDF file, by the file's name.
        auto *window = screen->findChild<ChartWindow *>(QStringLiteral("chartWindow"));
        QTemporaryDir folder;
        for (const char *name : {"chart.png", "chart.pdf"}) {
            const QString path = folder.filePath(QLatin1String(name));
            ASSERT_TRUE(window->saveTo(path));
            QFile saved(path);
            ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
            EXPECT_TRUE(saved.read(8).startsWith(path.endsWith("png") ? "\x89PNG" : "%PDF"));
        }
        if (QByteArray(c.screen) != "A1A2") { // the bars add up to the report's total
            double sum = 0;
            for (const QString &bar : expected)
                sum += bar.section(u'=', -1).toDouble();
            EXPECT_EQ(conv::numberText(sum), reportTotal(*screen));
        }
    }
}

// At the size the chart window opens, the number over each column never runs into its
// neighbour's and is never cut off at the top: every column's number is shown, or (columns
// too narrow even for an upright one) none is.
TEST(SalesChart, ValueLabelsNeitherCollideNorAreCut) {
    struct Case {
        int days;
        bool labelled;
    };
    const Case cases[] = {{5, true}, {31, true}, {92, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.days);
        TestShop shop;
        const QDate first(2001, 3, 1);
        QSet<QString> values;
        for (int day = 0; day < c.days; ++day) {
            const Money takings = *Money::fromDouble(10000.5 + day * 137.25);
            values << takings.text();
            addSale(shop.db, conv::isoDate(first.addDays(day)), "10:00:00", "X", "Atlas",
                    takings.text(), "1");
        }
        MonthReportScreen screen(shop.context);
        screen.show();
        setPeriod(screen, first, first.addDays(c.days - 1));
        click(screen, "Command1");
        click(screen, "cmdChart");
        auto *window = screen.findChild<ChartWindow *>(QStringLiteral("chartWindow"));
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        for (int settle = 0; settle < 5; ++settle)
            QCoreApplication::processEvents();
        QChart *chart = window->chart();
        const QRectF plot = chart->mapRectToScene(chart->plotArea()).adjusted(-1, -1, 1, 1);
        QList<QRectF> labels;
        for (QGraphicsItem *item : chart->scene()->items()) {
            auto *text = dynamic_cast<QGraphicsTextItem *>(item);
            if (text != nullptr && text->isVisible() && values.contains(text->toPlainText()))
                labels << text->sceneBoundingRect();
        }
        EXPECT_EQ(labels.size(), c.labelled ? c.days : 0);
        for (qsizetype i = 0; i < labels.size(); ++i) {
            EXPECT_TRUE(plot.contains(labels[i])) << i;
            for (qsizetype j = i + 1; j < labels.size(); ++j)
                EXPECT_FALSE(labels[i].adjusted(1, 1, -1, -1).intersects(labels[j]))
                    << i << " " << j;
        }
    }
}
