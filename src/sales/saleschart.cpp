// The sums behind the sales charts, taken from the report's own record set so that a chart
// always shows the list on screen.
#include "saleschart.h"

#include "conversions.h"
#include "money.h"
#include "recordsource.h"
#include "shoptables.h"

#include <QDate>
#include <QTime>
#include <algorithm>
#include <cmath>
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

// The takings of the listed sales summed exactly per key, read from the text of `field`: a
// row whose key cannot be read is left out, one without a price or a quantity adds nothing.
template <typename Key, typename KeyOf>
std::map<Key, Money> takingsBy(RecordSource &sales, const Column &field, KeyOf keyOf) {
    using namespace tables::soldbook;
    std::map<Key, Money> sums;
    const int key = sales.isOpen() ? sales.fieldIndex(field) : -1;
    const int price = sales.isOpen() ? sales.fieldIndex(Price) : -1;
    const int qty = sales.isOpen() ? sales.fieldIndex(Qty) : -1;
    if (key < 0 || price < 0 || qty < 0)
        return sums;
    const int rows = sales.recordCount();
    for (int row = 0; row < rows; ++row) {
        const std::optional<Key> at = keyOf(sales.valueAt(row, key).toString());
        if (!at)
            continue;
        Money &sum = sums[*at];
        const auto p = Money::fromValue(sales.valueAt(row, price));
        const auto q = conv::toNumber(sales.valueAt(row, qty));
        if (p && q)
            sum += p->times(std::llround(*q));
    }
    return sums;
}

// A bar for every key from the first summed to the last, each `next` after the one before,
// 0 where nothing was summed.
template <typename Key, typename Next, typename Label>
void addBars(SalesChart &chart, const std::map<Key, Money> &sums, Next next, Label label) {
    if (sums.empty())
        return;
    for (Key key = sums.begin()->first; key <= sums.rbegin()->first; key = next(key)) {
        chart.categories << label(key);
        const auto found = sums.find(key);
        const Money sum = found == sums.end() ? Money() : found->second;
        chart.values << sum.toDouble();
        chart.valueTexts << sum.text();
    }
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
        chart.valueTexts << conv::numberText(seller.copies);
    }
    return chart;
}

SalesChart takingsByHour(RecordSource &sales, const QString &caption) {
    SalesChart chart;
    chart.title = QStringLiteral("Takings per hour, %1").arg(periodOf(caption));
    chart.valueTitle = QStringLiteral("Takings");
    const auto byHour = takingsBy<int>(sales, tables::soldbook::SoldTime, [](const QString &text) {
        const QTime at = conv::parseTime(text);
        return at.isValid() ? std::optional<int>(at.hour()) : std::nullopt;
    });
    addBars(
        chart, byHour, [](int hour) { return hour + 1; },
        [](int hour) { return QStringLiteral("%1:00").arg(hour); });
    return chart;
}

SalesChart takingsByDay(RecordSource &sales, const QString &caption) {
    SalesChart chart;
    chart.title = QStringLiteral("Takings per day, %1").arg(periodOf(caption));
    chart.valueTitle = QStringLiteral("Takings");
    DayReader dayOf;
    const auto byDay =
        takingsBy<QDate>(sales, tables::soldbook::SoldDate, [&](const QString &text) {
            const QDate day = dayOf(text);
            return day.isValid() ? std::optional<QDate>(day) : std::nullopt;
        });
    if (byDay.empty() || byDay.begin()->first.daysTo(byDay.rbegin()->first) < longestDaily) {
        addBars(
            chart, byDay, [](const QDate &day) { return day.addDays(1); }, &conv::dateText);
        return chart;
    }
    chart.title = QStringLiteral("Takings per month, %1").arg(periodOf(caption));
    std::map<int, Money> byMonth; // year * 12 + month - 1
    for (const auto &[day, sum] : byDay)
        byMonth[day.year() * 12 + day.month() - 1] += sum;
    addBars(
        chart, byMonth, [](int month) { return month + 1; },
        [](int month) { return QStringLiteral("%1/%2").arg(month / 12).arg(month % 12 + 1); });
    return chart;
}

} // namespace saleschart
