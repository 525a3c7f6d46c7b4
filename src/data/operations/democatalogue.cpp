// The dated part of the demo catalogue: offers around today, open and paid bills of the last
// months and three weeks of counter sales, drawn from a fixed-seed generator.
#include "democatalogue.h"

#include "conversions.h"
#include "demoreference.h"

#include <QTime>
#include <random>

namespace {

// Positions in demoTitles() rows.
constexpr int kIsbn = 0, kTitle = 1, kSalePrice = 7;

// minstd_rand's sequence is fixed by the standard, so the catalogue is the same everywhere;
// the distributions of <random> are not, hence the plain modulo.
class Draw {
public:
    int below(int n) { return static_cast<int>(engine_() % static_cast<unsigned>(n)); }
    int between(int low, int high) { return low + below(high - low + 1); }

private:
    std::minstd_rand engine_{20010503};
};

struct Offer {
    const char *isbn;
    double price;
    int beginOffset, endOffset; // days from today
};

// Current offers (one ends today), one that has ended and one still to come.
const Offer kOffers[] = {
    {"9781952601811", 19.95, -6, 8}, {"4735379907518", 13.99, -3, 11},
    {"9781974650750", 8.99, -10, 4}, {"9781917603133", 13.5, -2, 12},
    {"9781948757492", 21, -14, 0},   {"9781996030820", 11.95, -45, -31},
    {"9781946563217", 19.99, 5, 19},
};

DemoTable offers(const QDate &today) {
    DemoTable t{"onsale", {"ISBN", "OnSale Price", "Begin", "End"}, {}};
    for (const Offer &o : kOffers)
        t.rows.push_back({QString::fromUtf8(o.isbn), o.price,
                          conv::isoDate(today.addDays(o.beginOffset)),
                          conv::isoDate(today.addDays(o.endOffset))});
    return t;
}

// The price the counter charged on a day: the offer's when one ran, else the Sale Price.
QVariant priceOn(const QVariantList &title, const QDate &day, const QDate &today) {
    for (const Offer &o : kOffers) {
        if (title[kIsbn].toString() == QString::fromUtf8(o.isbn) &&
            day >= today.addDays(o.beginOffset) && day <= today.addDays(o.endOffset))
            return o.price;
    }
    return title[kSalePrice];
}

DemoTable sales(const QDate &today, const DemoTable &titles, Draw &draw) {
    DemoTable t{"soldbook", {"SoldDate", "SoldTime", "ISBN", "Title", "Price", "Qty"}, {}};
    const int titleCount = static_cast<int>(titles.rows.size());
    for (QDate day = today.addDays(-20); day <= today; day = day.addDays(1)) {
        // Shop hours 10:00 to 19:00; sales of a day in time order, a few seconds apart at least.
        const int count = draw.between(3, 8);
        int second = 10 * 3600;
        for (int i = 0; i < count; ++i) {
            second += draw.between(60, (9 * 3600) / count - 60);
            // Half the sales go to the first dozen titles, so that the ranking has a top.
            const int pick = draw.below(2) == 0 ? draw.below(12) : draw.below(titleCount);
            const QVariantList &title = titles.rows[pick];
            const int roll = draw.below(10);
            const int qty = roll < 7 ? 1 : (roll < 9 ? 2 : 3);
            t.rows.push_back({conv::isoDate(day), conv::timeText(QTime(0, 0).addSecs(second)),
                              title[kIsbn], title[kTitle], priceOn(title, day, today), qty});
        }
    }
    return t;
}

QString supplierName(const DemoTable &suppliers, int index) {
    return suppliers.rows[index % suppliers.rows.size()][0].toString();
}

// Invoice numbers run on across paid and open bills, as a supplier's would.
QString invoiceNo(int serial) {
    return QString("INV-%1").arg(serial, 5, 10, QChar('0'));
}

double fee(Draw &draw) {
    return draw.between(4500, 78000) / 100.0;
}

QTime officeTime(Draw &draw) {
    return QTime(9, 0).addSecs(draw.between(0, 8 * 3600));
}

DemoTable openBills(const QDate &today, const DemoTable &suppliers, Draw &draw, int &serial) {
    DemoTable t{"Bill", {"Invoice No", "Invoice Date", "Fee", "Invoice Time", "Retail"}, {}};
    for (int i = 0; i < 15; ++i) {
        const QDate day = today.addDays(-59 + i * 4 + draw.below(4));
        t.rows.push_back({invoiceNo(serial++), conv::isoDate(day), fee(draw),
                          conv::timeText(officeTime(draw)), supplierName(suppliers, i)});
    }
    return t;
}

DemoTable paidBills(const QDate &today, const DemoTable &suppliers, Draw &draw, int &serial) {
    DemoTable t{
        "paidbill", {"Invoice No", "Invoice Date", "Fee", "Time", "Retail", "Paid date"}, {}};
    for (int i = 0; i < 10; ++i) {
        const QDate day = today.addDays(-120 + i * 6 + draw.below(5));
        const QDate paid = std::min(today, day.addDays(draw.between(14, 44)));
        t.rows.push_back({invoiceNo(serial++), conv::isoDate(day), fee(draw),
                          conv::timeText(officeTime(draw)), supplierName(suppliers, i + 1),
                          conv::isoDate(paid)});
    }
    return t;
}

} // namespace

std::vector<DemoTable> demoCatalogue(const QDate &today) {
    Draw draw;
    const DemoTable titles = demoTitles();
    const DemoTable suppliers = demoSuppliers();
    int serial = 30117;
    DemoTable paid = paidBills(today, suppliers, draw, serial);
    DemoTable open = openBills(today, suppliers, draw, serial);
    DemoTable sold = sales(today, titles, draw);
    return {demoSubjects(), demoPublishers(), suppliers,       titles,
            offers(today),  std::move(open),  std::move(paid), std::move(sold)};
}
