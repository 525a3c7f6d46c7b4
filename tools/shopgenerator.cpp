// Filling a new shop database with a large made-up shop: reference tables, the catalogue,
// offers, three years of counter sales and the suppliers' bills, in one transaction with
// the indexes built once at the end.
#include "shopgenerator.h"

#include "conversions.h"
#include "dataerror.h"
#include "shopfile.h"
#include "shopnames.h"
#include "shoprandom.h"
#include "shopwords.h"
#include "sqlbuilder.h"
#include "sqldialect.h"
#include "sqlitedialect.h"
#include "sqlitefile.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <initializer_list>
#include <numeric>
#include <string_view>

namespace {

// One prepared INSERT, bound and reused row after row: the fast path by which a table is
// filled.
class BulkInsert {
public:
    // Prepares "INSERT INTO [table] ([c1], ...) VALUES (?, ...)". Throws DataError.
    BulkInsert(SqliteFile &file, const char *table, std::initializer_list<const char *> columns)
        : insert_(file,
                  engines::fileDialect()
                      .render(sqlb::insert(table, QStringList(columns.begin(), columns.end())))
                      .sql) {}

    // Values for the next row, in column order. Text is not copied: it must stay alive and
    // unchanged until row() has run.
    BulkInsert &text(std::string_view value) {
        insert_.bindKept(next_++, value);
        return *this;
    }
    BulkInsert &integer(std::int64_t value) {
        insert_.bind(next_++, qlonglong(value));
        return *this;
    }
    BulkInsert &money(double value) {
        insert_.bind(next_++, value);
        return *this;
    }
    // Writes the row and readies the statement for the next one. Throws DataError.
    void row() {
        next_ = 1;
        insert_.step();
        insert_.reset();
        ++rows_;
    }
    std::int64_t rows() const { return rows_; }

private:
    SqliteStatement insert_;
    int next_ = 1;
    std::int64_t rows_ = 0;
};

using Steady = std::chrono::steady_clock;

double secondsSince(Steady::time_point start) {
    return std::chrono::duration<double>(Steady::now() - start).count();
}

// Money the way a shop prices: whole amounts, halves, and the odd .95 or .99.
double shopPrice(ShopRandom &random, int low, int high) {
    const double whole = random.between(low, high);
    switch (random.below(4)) {
    case 0:
        return whole + 0.5;
    case 1:
        return whole + 0.95;
    case 2:
        return whole + 0.99;
    default:
        return whole;
    }
}

double roundTo(double value, double step) {
    return std::round(value / step) * step;
}

// Parts of the shop drawn from their own random streams.
enum Part : std::uint64_t { kReference, kCatalogue, kOffers, kDays, kSales, kBills };

struct Title {
    std::string isbn, title;
    double salePrice;
};

struct Offer {
    int title;
    int begin, end; // day numbers from the first day of sales
    double price;
};

class Generator {
public:
    Generator(SqliteFile &db, const ShopSizes &sizes)
        : db_(db), sizes_(sizes), firstDay_(sizes.lastDay.addYears(-sizes.years).addDays(1)),
          days_(static_cast<int>(firstDay_.daysTo(sizes.lastDay)) + 1) {
        for (int d = 0; d < days_; ++d)
            dayTexts_.push_back(conv::isoDate(firstDay_.addDays(d)).toStdString());
    }

    void reference() {
        ShopRandom random = ShopRandom::stream(sizes_.seed, kReference);
        BulkInsert subjects(db_, "Subject", {"Subject No", "Subject"});
        for (const auto &subject : shopwords::subjects)
            subjects.text(subject.number).text(subject.name).row();
        count("Subject", subjects.rows());

        BulkInsert publishers(db_, "publishers",
                              {"PubID", "Name", "Company Name", "Address", "City", "State", "Zip",
                               "Telephone", "Fax"});
        for (int p = 0; p < shopnames::publisherCount(); ++p) {
            publisherNames_.push_back(shopnames::publisher(p));
            const std::string id = std::to_string(1000 + p).insert(0, 1, 'P');
            const std::string company = publisherNames_.back() + " Ltd";
            const std::string address = shopnames::address(random);
            const std::string city = address.substr(address.rfind(", ") + 2);
            const std::string zip = std::to_string(random.between(10000, 99999));
            const std::string phone = shopnames::telephone(random);
            const std::string fax = shopnames::telephone(random);
            publishers.text(id).text(publisherNames_.back()).text(company).text(address);
            publishers.text(city).text("").text(zip).text(phone).text(fax).row();
        }
        count("publishers", publishers.rows());

        BulkInsert suppliers(db_, "retail", {"RetName", "RetAddress", "RetTel", "Salesman"});
        for (int s = 0; s < sizes_.suppliers; ++s) {
            supplierNames_.push_back(shopnames::supplier(s));
            const std::string address = shopnames::address(random);
            const std::string phone = shopnames::telephone(random);
            const std::string salesman = shopnames::person(random);
            suppliers.text(supplierNames_.back()).text(address).text(phone).text(salesman).row();
        }
        count("retail", suppliers.rows());
    }

    void catalogue() {
        ShopRandom random = ShopRandom::stream(sizes_.seed, kCatalogue);
        std::vector<const shopwords::SubjectEntry *> books, music;
        for (const auto &subject : shopwords::subjects)
            (subject.music ? music : books).push_back(&subject);
        BulkInsert titles(db_, "Titles",
                          {"ISBN", "Title", "Author", "Subject", "Publisher", "Year Published",
                           "Fixed Price", "Sale Price", "PurchasePrice", "Qty", "SafeQty",
                           "Retail"});
        const std::uint64_t salt = random.next();
        for (int t = 0; t < sizes_.titles; ++t) {
            const double kind = random.unit();
            const bool cd = kind < 0.12, chinese = !cd && kind < 0.17;
            const std::string isbn =
                cd ? shopnames::cdCode(t, salt) : shopnames::bookCode(t, salt, random.chance(0.03));
            const std::string title = cd        ? shopnames::cdTitle(random)
                                      : chinese ? shopnames::chineseTitle(random)
                                                : shopnames::bookTitle(random);
            const std::string author =
                chinese ? shopnames::chinesePerson(random) : shopnames::person(random);
            const char *subject = chinese ? "中文文學"
                                  : cd    ? music[random.below(music.size())]->name
                                          : books[random.below(books.size())]->name;
            const std::string &publisher = publisherNames_[random.below(publisherNames_.size())];
            const QDate published(random.between(1970, sizes_.lastDay.year() - 1),
                                  random.between(1, 12), random.between(1, 28));
            const std::string year = conv::dateText(published).toStdString();
            const double fixedPrice = cd ? shopPrice(random, 8, 29) : shopPrice(random, 6, 59);
            const double salePrice =
                random.chance(0.25) ? roundTo(fixedPrice * 0.9, 0.5) : fixedPrice;
            const double purchasePrice = roundTo(fixedPrice * 0.6, 0.01);
            const int safeQty = random.between(1, 10);
            int qty = random.chance(0.25) ? random.between(0, safeQty - 1)
                                          : safeQty + random.between(0, 80);
            if (qty == 0 && random.chance(0.05))
                qty = -random.between(1, 3); // sold before the delivery was booked
            const std::string &retail = supplierNames_[random.below(supplierNames_.size())];
            titles.text(isbn).text(title).text(author).text(subject).text(publisher).text(year);
            titles.money(fixedPrice).money(salePrice).money(purchasePrice);
            titles.integer(qty).integer(safeQty).text(retail).row();
            titles_.push_back({isbn, title, salePrice});
        }
        count("Titles", titles.rows());
        // Who sells well: a shuffled order of the catalogue, drawn from with a strong skew.
        popularity_.resize(titles_.size());
        std::iota(popularity_.begin(), popularity_.end(), 0);
        for (std::size_t i = popularity_.size(); i > 1; --i)
            std::swap(popularity_[i - 1], popularity_[random.below(i)]);
    }

    void offers() {
        ShopRandom random = ShopRandom::stream(sizes_.seed, kOffers);
        const int wanted = std::min(sizes_.offers, static_cast<int>(titles_.size()));
        std::vector<int> pool(titles_.size());
        std::iota(pool.begin(), pool.end(), 0);
        std::vector<Offer> offers;
        for (int o = 0; o < wanted; ++o) {
            const auto pick = o + random.below(pool.size() - static_cast<std::size_t>(o));
            std::swap(pool[static_cast<std::size_t>(o)], pool[pick]);
            const int title = pool[static_cast<std::size_t>(o)];
            // Offers start over the whole period and a little beyond, as the shop plans ahead.
            const int begin = random.between(0, days_ + 20);
            const int end = begin + random.between(6, 45);
            const double price = roundTo(titles_[static_cast<std::size_t>(title)].salePrice *
                                             (0.7 + 0.05 * random.between(0, 3)),
                                         0.5);
            offers.push_back({title, begin, end, price});
        }
        std::stable_sort(offers.begin(), offers.end(),
                         [](const Offer &a, const Offer &b) { return a.begin < b.begin; });
        offerOf_.assign(titles_.size(), -1);
        BulkInsert rows(db_, "onsale", {"ISBN", "OnSale Price", "Begin", "End"});
        for (const Offer &offer : offers) {
            const std::string begin = conv::isoDate(firstDay_.addDays(offer.begin)).toStdString();
            const std::string end = conv::isoDate(firstDay_.addDays(offer.end)).toStdString();
            rows.text(titles_[static_cast<std::size_t>(offer.title)].isbn).money(offer.price);
            rows.text(begin).text(end).row();
            offerOf_[static_cast<std::size_t>(offer.title)] = static_cast<int>(offers_.size());
            offers_.push_back(offer);
        }
        count("onsale", rows.rows());
    }

    void sales() {
        const std::vector<std::int64_t> perDay = salesPerDay();
        ShopRandom random = ShopRandom::stream(sizes_.seed, kSales);
        BulkInsert rows(db_, "soldbook", {"SoldDate", "SoldTime", "ISBN", "Title", "Price", "Qty"});
        std::vector<int> seconds;
        const double catalogue = static_cast<double>(titles_.size());
        for (int d = 0; d < days_; ++d) {
            seconds.clear();
            for (std::int64_t s = 0; s < perDay[static_cast<std::size_t>(d)]; ++s)
                seconds.push_back(random.between(9 * 3600, 21 * 3600 - 1)); // opening hours
            std::sort(seconds.begin(), seconds.end());
            for (const int second : seconds) {
                const double u = random.unit();
                const auto rank = static_cast<std::size_t>(catalogue * u * u * u);
                const auto t = static_cast<std::size_t>(popularity_[rank]);
                const double q = random.unit();
                const int qty = q < 0.8 ? 1 : q < 0.93 ? 2 : q < 0.98 ? 3 : random.between(4, 10);
                char time[8];
                shopnames::storedTime(second, time);
                rows.text(dayTexts_[static_cast<std::size_t>(d)]).text({time, 8});
                rows.text(titles_[t].isbn).text(titles_[t].title).money(priceOn(t, d));
                rows.integer(qty).row();
            }
        }
        count("soldbook", rows.rows());
    }

    void bills() {
        ShopRandom random = ShopRandom::stream(sizes_.seed, kBills);
        std::vector<int> days(static_cast<std::size_t>(sizes_.bills));
        for (int &day : days)
            day = random.between(0, days_ - 1);
        std::sort(days.begin(), days.end());
        BulkInsert open(db_, "Bill",
                        {"Invoice No", "Invoice Date", "Fee", "Invoice Time", "Retail"});
        BulkInsert paid(db_, "paidbill",
                        {"Invoice No", "Invoice Date", "Fee", "Time", "Retail", "Paid date"});
        for (std::size_t b = 0; b < days.size(); ++b) {
            const int day = days[b];
            std::string number = "INV-";
            number +=
                std::to_string(firstDay_.addDays(day).year()) + "-" + std::to_string(100000 + b);
            const double fee = roundTo(50 + random.unit() * 4950, 0.01);
            const int second = random.between(9 * 3600, 18 * 3600 - 1);
            char time[8];
            shopnames::storedTime(second, time);
            const std::string &retail = supplierNames_[random.below(supplierNames_.size())];
            const std::string &date = dayTexts_[static_cast<std::size_t>(day)];
            // About three in ten are paid, a week to two months after the invoice.
            if (random.chance(0.3) && day + 7 < days_) {
                const int paidDay = std::min(days_ - 1, day + random.between(7, 60));
                paid.text(number).text(date).money(fee).text({time, 8}).text(retail);
                paid.text(dayTexts_[static_cast<std::size_t>(paidDay)]).row();
            } else {
                open.text(number).text(date).money(fee).text({time, 8}).text(retail).row();
            }
        }
        count("Bill", open.rows());
        count("paidbill", paid.rows());
    }

    GeneratedShop result;

private:
    void count(const char *table, std::int64_t rows) {
        result.tables.push_back({table, rows});
        result.totalRows += rows;
    }

    // Busier on Saturdays, Sundays and in December, growing over the years; the counts add
    // up to exactly the sales asked for.
    std::vector<std::int64_t> salesPerDay() {
        ShopRandom random = ShopRandom::stream(sizes_.seed, kDays);
        std::vector<double> cumulative;
        double total = 0;
        for (int d = 0; d < days_; ++d) {
            const QDate day = firstDay_.addDays(d);
            double weight = day.dayOfWeek() == 6 ? 1.6 : day.dayOfWeek() == 7 ? 1.3 : 1.0;
            if (day.month() == 12)
                weight *= 1.5;
            weight *= (1.0 + 0.3 * d / days_) * (0.85 + 0.3 * random.unit());
            total += weight;
            cumulative.push_back(total);
        }
        std::vector<std::int64_t> perDay;
        std::int64_t before = 0;
        for (const double upTo : cumulative) {
            const auto now = static_cast<std::int64_t>(
                std::llround(static_cast<double>(sizes_.sales) * upTo / total));
            perDay.push_back(now - before);
            before = now;
        }
        return perDay;
    }

    // The counter charges the title's first offer when it runs that day (both ends
    // included), else the sale price.
    double priceOn(std::size_t title, int day) const {
        const int o = offerOf_[title];
        if (o >= 0) {
            const Offer &offer = offers_[static_cast<std::size_t>(o)];
            if (offer.begin <= day && day <= offer.end)
                return offer.price;
        }
        return titles_[title].salePrice;
    }

    SqliteFile &db_;
    const ShopSizes &sizes_;
    QDate firstDay_;
    int days_;
    std::vector<std::string> dayTexts_, publisherNames_, supplierNames_;
    std::vector<Title> titles_;
    std::vector<int> popularity_, offerOf_;
    std::vector<Offer> offers_;
};

void fill(const QString &path, const ShopSizes &sizes, GeneratedShop &shop) {
    const auto start = Steady::now();
    const std::clock_t cpuStart = std::clock();
    SqliteFile db(path, SqliteFile::Mode::ReadWrite);
    // A new file that nobody else has open: no journal and no syncs while it fills. The
    // shop's own journal mode is put back once the rows are in.
    db.exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA cache_size=-2097152; "
            "PRAGMA temp_store=MEMORY; PRAGMA locking_mode=EXCLUSIVE");
    db.exec("BEGIN IMMEDIATE");
    const QStringList indexes = db.dropIndexes();
    Generator generator(db, sizes);
    generator.reference();
    generator.catalogue();
    generator.offers();
    generator.sales();
    generator.bills();
    shop = generator.result;
    shop.insertSeconds = secondsSince(start);
    const auto indexStart = Steady::now();
    for (const QString &sql : indexes)
        db.exec(sql);
    db.exec("COMMIT");
    shop.indexSeconds = secondsSince(indexStart);
    db.exec("PRAGMA locking_mode=NORMAL");
    SqliteStatement wal(db, "PRAGMA journal_mode=WAL");
    if (!wal.step() || wal.string(0) != "wal")
        throw DataError(
            QString("Cannot put the generated shop database %1 in WAL mode.").arg(path));
    shop.totalSeconds = secondsSince(start);
    shop.cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
}

} // namespace

namespace shopgen {

void check(const ShopSizes &sizes) {
    auto fail = [](const QString &why) { throw DataError("Cannot generate this shop: " + why); };
    if (sizes.titles < 1)
        fail("it needs at least one title.");
    if (sizes.suppliers < 1)
        fail("it needs at least one supplier.");
    if (sizes.sales < 0 || sizes.bills < 0 || sizes.offers < 0)
        fail("the numbers of sales, bills and offers cannot be negative.");
    if (sizes.years < 1 || sizes.years > 100)
        fail("the years of sales must lie between 1 and 100.");
    if (!sizes.lastDay.isValid() || sizes.lastDay.year() < 1900 || sizes.lastDay.year() > 9000)
        fail("the last day of sales must be a day between the years 1900 and 9000.");
}

GeneratedShop generate(const QString &path, const ShopSizes &sizes) {
    check(sizes);
    shopfile::create(path);
    GeneratedShop shop;
    try {
        fill(path, sizes, shop);
    } catch (...) {
        SqliteFile::remove(path);
        throw;
    }
    return shop;
}

} // namespace shopgen
