// What the sales charts show, worked out from the rows a report lists: the best sellers by
// copies (top-sellers screen), and the takings per hour (day report) or per day (period
// report). No widgets here: the chart window draws it.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class RecordSource;

struct SalesChart {
    QString title;
    QString valueTitle; // what the bars measure
    QStringList categories;
    QList<double> values;
    QStringList valueTexts; // each value as the bar's label shows it
    bool bars = false;      // bars across the window, labelled by title; columns otherwise
};

namespace saleschart {

// At most this many best sellers are drawn.
constexpr int topCount = 10;
// A period longer than this many days is drawn per month rather than per day.
constexpr int longestDaily = 92;

// The ten summary rows (fields A: ISBN, B: title, C: copies as text) with the most copies,
// most first; equal totals keep the order in which the summary lists them.
SalesChart topSellers(RecordSource &summary, const QString &period);
// Takings (price times quantity) of the listed sales per hour of sale, from the first hour
// with a sale to the last; a sale without a price or a quantity adds nothing.
SalesChart takingsByHour(RecordSource &sales, const QString &caption);
// Takings of the listed sales per day, from the first day with a sale to the last, or per
// month when that is longer than longestDaily days.
SalesChart takingsByDay(RecordSource &sales, const QString &caption);

} // namespace saleschart
