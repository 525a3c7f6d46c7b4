// The demo catalogue. Every name, title, address and number here is made up; ISBNs carry valid
// check digits so that they look like what the operator types at the counter. The dated part,
// offers around today, open and paid bills of the last months and three weeks of counter sales,
// is drawn from a fixed-seed generator.
#include "democatalogue.h"

#include "conversions.h"

#include <QTime>
#include <random>

namespace {

QVariantList textRow(std::initializer_list<const char *> values) {
    QVariantList row;
    for (const char *value : values)
        row << QString::fromUtf8(value);
    return row;
}

struct DemoTitle {
    const char *isbn, *title, *author, *subject, *publisher, *published;
    double fixedPrice, salePrice, purchasePrice;
    int qty, safeQty;
    const char *retail;
};

// Six titles start below their safe quantity: 3, 9, 17, 23, 26 and 36 of the list.
const DemoTitle kTitles[] = {
    {"9781952601811", "The Lighthouse Keeper's Ledger", "Margaret Ellery", "Fiction",
     "Lanternfield Press", "2015/3/12", 24.95, 22.5, 14, 12, 4, "O'Hara Books"},
    {"9781959083016", "Salt on the Window", "Thomas Brann", "Fiction", "Harbour & Vale", "2018/9/4",
     18.99, 17.5, 10.8, 7, 3, "Meridian Book Supply"},
    {"9781966131861", "A Winter in Kestrel Bay", "Ruth Calloway", "Fiction", "Northwind Editions",
     "2020/1/20", 21, 19.95, 12.1, 2, 5, "Kestrel Distribution"},
    {"9781909139091", "The Orchard at Dunmore", "Fiona O'Neill", "Fiction", "Lanternfield Press",
     "2012/6/1", 15.99, 15.99, 9.2, 9, 3, "O'Hara Books"},
    {"9781996030820", "Paper Boats", "Idris Mortlake", "Fiction", "Tidewater Publishing",
     "2019/11/15", 16.5, 14.95, 9, 15, 4, "Eastgate Wholesale"},
    {"9781946281944", "The Quiet Mapmaker", "Helena Strand", "Fiction", "Copperleaf Books",
     "2021/4/8", 26, 24, 15.6, 6, 3, "Meridian Book Supply"},
    {"9781982199357", "Bridges of the Northern Rail", "Alan Pritchard", "History",
     "Greystone Academic", "2011/2/28", 45, 42, 27, 3, 2, "Eastgate Wholesale"},
    {"9781918190939", "Merchants of the Salt Road", "Yusuf Karadeniz", "History",
     "Greystone Academic", "2016/7/19", 38.5, 36, 23.1, 4, 2, "Kestrel Distribution"},
    {"9781978657977", "A Short History of Lamplight", "Clara Benning", "History", "Harbour & Vale",
     "2017/10/2", 29.95, 27.5, 17.95, 1, 3, "Meridian Book Supply"},
    {"9781954323193", "The Harbour Towns, 1850-1900", "Edward Lusk", "History",
     "Tidewater Publishing", "2009/5/14", 32, 30, 19.2, 5, 2, "Eastgate Wholesale"},
    {"9781948757492", "Counting the Stars by Hand", "Miriam Osei", "Science", "Northwind Editions",
     "2019/3/3", 27.5, 25, 16.5, 8, 3, "Kestrel Distribution"},
    {"9781911862529", "The Patient Chemist", "Lars Eklund", "Science", "Greystone Academic",
     "2014/8/25", 33, 31.5, 19.8, 6, 2, "Meridian Book Supply"},
    {"9781976018954", "Tides, Winds and Weather", "Paula Reyes-Hart", "Science",
     "Tidewater Publishing", "2022/2/11", 24, 22, 14.4, 10, 3, "Eastgate Wholesale"},
    {"9781955979719", "Small Engines of the Cell", "Henry Achebe", "Science", "Copperleaf Books",
     "2020/9/30", 29, 27, 17.4, 4, 2, "Meridian Book Supply"},
    {"9781914710490", "Pip and the Paper Kite", "Annie Rowe", "Children", "Lanternfield Press",
     "2021/5/5", 9.99, 9.99, 5.5, 20, 6, "O'Hara Books"},
    {"9781974650750", "The Bear Who Borrowed Books", "Colin Marsh", "Children", "Copperleaf Books",
     "2018/12/1", 11.5, 10.5, 6.3, 14, 6, "Meridian Book Supply"},
    {"9781929170340", "Ten Little Lanterns", "Sophie Adair", "Children", "Harbour & Vale",
     "2016/3/21", 7.99, 7.5, 4.4, 3, 5, "O'Hara Books"},
    {"9781923667129", "Maya Counts the Moon", "Rani Desai", "Children", "Northwind Editions",
     "2023/1/16", 12.99, 12, 7.1, 11, 4, "Kestrel Distribution"},
    {"9781976842689", "Soup for Every Season", "Graham Whitlow", "Cookery", "Tidewater Publishing",
     "2015/10/10", 22, 19.99, 13.2, 8, 3, "Eastgate Wholesale"},
    {"9781946563217", "The Bread Notebook", "Ines Carvalho", "Cookery", "Copperleaf Books",
     "2019/6/6", 25, 23.5, 15, 5, 2, "Meridian Book Supply"},
    {"9781922330796", "One Pan Evenings", "Joe Talbot", "Cookery", "Harbour & Vale", "2022/9/12",
     19.5, 18, 11.7, 9, 3, "Eastgate Wholesale"},
    {"9781924402682", "Walking the Western Isles", "Fergus Hale", "Travel", "Lanternfield Press",
     "2013/4/17", 20, 18.5, 12, 6, 2, "O'Hara Books"},
    {"9781959952893", "Night Trains of the North", "Lena Vogt", "Travel", "Northwind Editions",
     "2018/5/29", 23.95, 21.5, 14.35, 0, 2, "Kestrel Distribution"},
    {"9781907866661", "A Field Guide to Small Harbours", "Owen Price", "Travel",
     "Tidewater Publishing", "2010/7/7", 17.95, 16, 10.75, 4, 2, "Eastgate Wholesale"},
    {"9781917603133", "山城故事", "林美華", "中文文學", "遠山出版社", "2017/8/8", 16.8, 15.5, 10, 6,
     2, "台北圖書"},
    {"9781972159019", "海邊的早晨", "陳怡君", "中文文學", "遠山出版社", "2020/3/18", 14, 13, 8.4, 2,
     3, "台北圖書"},
    {"9781909281592", "紅磚巷的貓", "王大明", "Children", "遠山出版社", "2019/10/25", 9.5, 9, 5.7,
     8, 3, "台北圖書"},
    {"9781901396249", "臺灣老街散步", "黃淑芬", "Travel", "遠山出版社", "2016/11/11", 18, 16.5,
     10.8, 5, 2, "台北圖書"},
    {"0983954860", "The Apprentice Bookbinder", "Walter Finch", "Fiction", "Lanternfield Press",
     "1998/9/1", 12.95, 11, 7, 3, 1, "O'Hara Books"},
    {"0920579868", "Letters from Halden Street", "Agnes Morrow", "Fiction", "Harbour & Vale",
     "1995/2/14", 10.95, 9.5, 6, 2, 1, "Eastgate Wholesale"},
    {"094126906X", "Knots and Rigging for Beginners", "Sam Trevelyan", "Travel",
     "Tidewater Publishing", "1999/6/30", 14.5, 13.5, 8.7, 4, 2, "Eastgate Wholesale"},
    {"9781959571179", "Field Notes on Garden Birds", "Beatrice Lowe", "Science", "Copperleaf Books",
     "2021/7/2", 21.5, 20, 12.9, 7, 2, "Meridian Book Supply"},
    {"9781977741219", "The Last Ferry Home", "Niall Cassidy", "Fiction", "Lanternfield Press",
     "2023/10/6", 25.95, 24.5, 15.55, 10, 4, "O'Hara Books"},
    {"4788853933633", "Harbour Lights (CD)", "The Brannock Quartet", "Music", "Bluefinch Music",
     "2019/4/12", 16.99, 15, 9.5, 9, 3, "Sound Circle Records"},
    {"4738750047438", "Rain on Tin Roofs (CD)", "Ellie Marsh Trio", "Music", "Bluefinch Music",
     "2021/8/20", 14.99, 13.5, 8.4, 5, 3, "Sound Circle Records"},
    {"4795755131371", "Piano Sketches, Vol. 2 (CD)", "Tomas Lindqvist", "Music", "Bluefinch Music",
     "2017/2/3", 12.99, 12.99, 7.3, 1, 2, "Sound Circle Records"},
    {"4735379907518", "Songs for a Long Drive (CD)", "The Wayfarers", "Music", "Bluefinch Music",
     "2022/6/17", 18.99, 16.99, 10.6, 12, 4, "Sound Circle Records"},
    {"4716372651677", "臺灣民謠新唱 (CD)", "張雅婷", "Music", "遠山出版社", "2018/12/24", 15, 14,
     8.8, 6, 2, "台北圖書"},
    {"4761222029724", "Cello at Midnight (CD)", "Anna Weiss", "Music", "Bluefinch Music",
     "2020/11/6", 15.99, 14.5, 9, 4, 2, "Sound Circle Records"},
    {"4799752882007", "Brass Band Sundays (CD)", "Millbrook Silver Band", "Music",
     "Bluefinch Music", "2016/5/15", 11.99, 10, 6.6, 3, 2, "Sound Circle Records"},
};

DemoTable demoSubjects() {
    DemoTable t{"Subject", {"Subject No", "Subject"}, {}};
    t.rows = {textRow({"S01", "Fiction"}), textRow({"S02", "History"}),
              textRow({"S03", "Science"}), textRow({"S04", "Children"}),
              textRow({"S05", "Cookery"}), textRow({"S06", "Travel"}),
              textRow({"S07", "Music"}),   textRow({"S08", "中文文學"})};
    return t;
}

DemoTable demoPublishers() {
    DemoTable t{
        "publishers",
        {"PubID", "Name", "Company Name", "Address", "City", "State", "Zip", "Telephone", "Fax"},
        {}};
    t.rows = {
        textRow({"P01", "Lanternfield Press", "Lanternfield Press Ltd.", "14 Quarry Lane",
                 "Bristol", "Avon", "BS1 4QL", "0117 496 0231", "0117 496 0232"}),
        textRow({"P02", "Harbour & Vale", "Harbour and Vale Publishing Co.", "220 Wharf Street",
                 "Portland", "Maine", "04101", "207-555-0143", "207-555-0144"}),
        textRow({"P03", "Northwind Editions", "Northwind Editions Inc.",
                 "9 Birch Avenue, Suite 300", "Minneapolis", "Minnesota", "55401", "612-555-0178",
                 "612-555-0179"}),
        textRow({"P04", "Copperleaf Books", "Copperleaf Books LLC", "71 Orchard Road", "Sacramento",
                 "California", "95814", "916-555-0112", "916-555-0113"}),
        textRow({"P05", "Greystone Academic", "Greystone Academic Publishers", "3 College Yard",
                 "Cambridge", "Cambridgeshire", "CB2 1TN", "01223 496 018", "01223 496 019"}),
        textRow({"P06", "Bluefinch Music", "Bluefinch Music & Recordings", "48 Canal Street",
                 "Nashville", "Tennessee", "37203", "615-555-0186", "615-555-0187"}),
        textRow({"P07", "Tidewater Publishing", "Tidewater Publishing Group", "600 Harbor Drive",
                 "Seattle", "Washington", "98101", "206-555-0155", "206-555-0156"}),
        textRow({"P08", "遠山出版社", "遠山文化事業有限公司", "和平東路二段88號5樓", "台北市",
                 "大安區", "106", "02-2555-0168", "02-2555-0169"}),
    };
    return t;
}

DemoTable demoSuppliers() {
    DemoTable t{"retail", {"RetName", "RetAddress", "RetTel", "Salesman"}, {}};
    t.rows = {
        textRow({"O'Hara Books", "12 Mill Street, Galway", "091 555 0120", "Siobhan O'Hara"}),
        textRow({"台北圖書", "台北市中山區南京東路一段25號", "02-2555-0133", "陳志明"}),
        textRow({"Meridian Book Supply", "455 Commerce Way, Columbus, Ohio 43215", "614-555-0190",
                 "Daniel Reyes"}),
        textRow({"Kestrel Distribution", "Unit 7, Ridgeway Park, Leeds LS9 0AB", "0113 496 0457",
                 "Priya Nair"}),
        textRow({"Sound Circle Records", "88 Vinyl Row, Austin, Texas 78701", "512-555-0126",
                 "Marcus Webb"}),
        textRow({"Eastgate Wholesale", "31 Eastgate Road, Chester CH1 1LE", "01244 555 071",
                 "Helen Brooks"}),
    };
    return t;
}

DemoTable demoTitles() {
    DemoTable t{"Titles",
                {"ISBN", "Title", "Author", "Subject", "Publisher", "Year Published", "Fixed Price",
                 "Sale Price", "PurchasePrice", "Qty", "SafeQty", "Retail"},
                {}};
    for (const DemoTitle &d : kTitles) {
        QVariantList row =
            textRow({d.isbn, d.title, d.author, d.subject, d.publisher, d.published});
        row << d.fixedPrice << d.salePrice << d.purchasePrice << d.qty << d.safeQty
            << QString::fromUtf8(d.retail);
        t.rows.push_back(row);
    }
    return t;
}

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
