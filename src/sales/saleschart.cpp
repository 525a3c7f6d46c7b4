// The sums behind the sales charts, taken from the report's own record set so that a chart
// always shows the list on screen.
#include "saleschart.h"

#include "conversions.h"
#include "recordsource.h"
#include "shoptables.h"

#include <QDate>
#include <QTime>
#include <algorithm>
#include <map>
#include <optional>

namespace {

// A bar's label: a long title is shortened; two titles alike are told apart by their ISBN.
QString barLabel(const QString &title, const QString &isbn, const QStringList &taken) {
    QString label = title.trimmed().isEmpty() ? isbn : title.simplified();
    if (label.size() > 40)
        label = label.left(39) + QChar(0x2026);
    if (taken.contains(label))
        label += QStringLiteral(" (%1)").arg(isbn);
    return label;
}

// The period a report's grid caption names (" 2001/5/3  Sale Report" -> "2001/5/3").
QString periodOf(const QString &caption) {
    QString period = caption.trimmed();
    const QString suffix = QStringLiteral("Sale Report");
    if (period.endsWith(suffix))
        period.chop(suffix.size());
    return period.trimmed();
}

// Reads the day of each sale row; the rows of a report come sorted by day, so the text of
// the row before is usually the same and is not parsed again.
class DayReader {
public:
    QDate operator()(const QString &text) {
        if (text != lastText_) {
            lastText_ = text;
            lastDay_ = conv::parseDate(text);
        }
        return lastDay_;
    }

private:
    QString lastText_;
    QDate lastDay_;
};

std::optional<double> amount(const RecordSource &sales, int row, int price, int qty) {
    const auto p = conv::toNumber(sales.valueAt(row, price));
    const auto q = conv::toNumber(sales.valueAt(row, qty));
    if (!p || !q)
        return std::nullopt;
    return *p * *q;
}

} // namespace

namespace saleschart {

SalesChart topSellers(RecordSource &summary, const QString &period) {
    SalesChart chart;
    chart.title = period.isEmpty() ? QStringLiteral("Top 10 by copies sold")
                                   : QStringLiteral("Top 10 by copies sold, %1").arg(period);
    chart.valueTitle = QStringLiteral("Copies");
    chart.bars = true;
    const int isbn = summary.isOpen() ? summary.fieldIndex(tables::tmp::A) : -1;
    const int title = summary.isOpen() ? summary.fieldIndex(tables::tmp::B) : -1;
    const int copies = summary.isOpen() ? summary.fieldIndex(tables::tmp::C) : -1;
    if (isbn < 0 || title < 0 || copies < 0)
        return chart;
    struct Seller {
        int row;
        double copies;
    };
    std::vector<Seller> sellers;
    const int rows = summary.recordCount();
    for (int row = 0; row < rows; ++row)
        sellers.push_back({row, conv::leadingNumber(summary.valueAt(row, copies).toString())});
    std::stable_sort(sellers.begin(), sellers.end(),
                     [](const Seller &a, const Seller &b) { return a.copies > b.copies; });
    if (sellers.size() > static_cast<std::size_t>(topCount))
        sellers.resize(topCount);
    for (const Seller &seller : sellers) {
        chart.categories << barLabel(summary.valueAt(seller.row, title).toString(),
                                     summary.valueAt(seller.row, isbn).toString(),
                                     chart.categories);
        chart.values << seller.copies;
    }
    return chart;
}

SalesChart takingsByHour(RecordSource &sales, const QString &caption) {
    SalesChart chart;
    chart.title = QStringLiteral("Takings per hour, %1").arg(periodOf(caption));
    chart.valueTitle = QStringLiteral("Takings");
    const int time = sales.isOpen() ? sales.fieldIndex(tables::soldbook::SoldTime) : -1;
    const int price = sales.isOpen() ? sales.fieldIndex(tables::soldbook::Price) : -1;
    const int qty = sales.isOpen() ? sales.fieldIndex(tables::soldbook::Qty) : -1;
    if (time < 0 || price < 0 || qty < 0)
        return chart;
    std::map<int, double> byHour;
    const int rows = sales.recordCount();
    for (int row = 0; row < rows; ++row) {
        const QTime at = conv::parseTime(sales.valueAt(row, time).toString());
        if (!at.isValid())
            continue;
        double &sum = byHour[at.hour()];
        if (const auto value = amount(sales, row, price, qty))
            sum += *value;
    }
    if (byHour.empty())
        return chart;
    for (int hour = byHour.begin()->first; hour <= byHour.rbegin()->first; ++hour) {
        chart.categories << QStringLiteral("%1:00").arg(hour);
        const auto found = byHour.find(hour);
        chart.values << (found == byHour.end() ? 0.0 : found->second);
    }
    return chart;
}

SalesChart takingsByDay(RecordSource &sales, const QString &caption) {
    SalesChart chart;
    chart.valueTitle = QStringLiteral("Takings");
    const int date = sales.isOpen() ? sales.fieldIndex(tables::soldbook::SoldDate) : -1;
    const int price = sales.isOpen() ? sales.fieldIndex(tables::soldbook::Price) : -1;
    const int qty = sales.isOpen() ? sales.fieldIndex(tables::soldbook::Qty) : -1;
    chart.title = QStringLiteral("Takings per day, %1").arg(periodOf(caption));
    if (date < 0 || price < 0 || qty < 0)
        return chart;
    std::map<QDate, double> byDay;
    DayReader dayOf;
    const int rows = sales.recordCount();
    for (int row = 0; row < rows; ++row) {
        const QDate day = dayOf(sales.valueAt(row, date).toString());
        if (!day.isValid())
            continue;
        double &sum = byDay[day];
        if (const auto value = amount(sales, row, price, qty))
            sum += *value;
    }
    if (byDay.empty())
        return chart;
    const QDate first = byDay.begin()->first;
    const QDate last = byDay.rbegin()->first;
    if (first.daysTo(last) < longestDaily) {
        for (QDate day = first; day <= last; day = day.addDays(1)) {
            chart.categories << conv::dateText(day);
            const auto found = byDay.find(day);
            chart.values << (found == byDay.end() ? 0.0 : found->second);
        }
        return chart;
    }
    chart.title = QStringLiteral("Takings per month, %1").arg(periodOf(caption));
    std::map<int, double> byMonth; // year * 12 + month - 1
    for (const auto &[day, sum] : byDay)
        byMonth[day.year() * 12 + day.month() - 1] += sum;
    for (int month = byMonth.begin()->first; month <= byMonth.rbegin()->first; ++month) {
        chart.categories << QStringLiteral("%1/%2").arg(month / 12).arg(month % 12 + 1);
        const auto found = byMonth.find(month);
        chart.values << (found == byMonth.end() ? 0.0 : found->second);
    }
    return chart;
}

} // namespace saleschart
