// Selling at the counter on the large shop: the lookup ("List") and the committed sale ("OK"),
// against the same reads and the same transaction done through the C API.
#include "benchmain.h"
#include "isbn.h"
#include "screenshop.h"

#include <QLabel>
#include <QString>
#include <vector>

namespace {

using namespace screenbench;

struct Sample {
    std::int64_t rowid;
    std::string isbn, title;
    double price;
};

// Every 97th title: popular and unpopular ones, on offer and not; not those added by the
// benchmarks before, which have no sale price.
const std::vector<Sample> &titles() {
    static std::vector<Sample> sample;
    if (sample.empty())
        for (const auto &row :
             bench::raw().texts("SELECT rowid, ISBN, Title, [Sale Price] "
                                "FROM Titles WHERE rowid % 97 = 1 AND [Sale Price] IS NOT NULL "
                                "LIMIT 1000"))
            sample.push_back({std::stoll(row[0]), row[1], row[2], std::stod(row[3])});
    return sample;
}

void lookUp(QWidget *screen, const Sample &title) {
    typeText(screen, "Text1", QString::fromStdString(title.isbn));
    click(screen, "Command1");
}

void lookup(benchmark::State &state) {
    guarded(state, [&] {
        ScreenUnderTest screen("frmSell");
        bench::Measured measured(state);
        std::size_t next = 0;
        for (auto _ : state)
            lookUp(screen, titles()[next++ % titles().size()]);
        screen.checkMessages();
    });
}

// The book's number as the other form would print it, hyphenated: the catalogue's 13 digits
// typed as an ISBN-10 ("0-306-40615-2"), its 10 as an ISBN-13 ("978-0-306-40615-7").
const std::vector<std::pair<QString, QString>> &otherSpellings() {
    static std::vector<std::pair<QString, QString>> typed;
    if (typed.empty())
        for (const Sample &title : titles()) {
            const QString stored = QString::fromStdString(title.isbn);
            const auto reading = isbn::read(stored);
            const QString other = reading ? isbn::otherForm(*reading) : QString();
            if (other.size() == 10)
                typed.emplace_back(
                    QStringLiteral("%1-%2-%3-%4")
                        .arg(other.left(1), other.mid(1, 3), other.mid(4, 5), other.right(1)),
                    stored);
            else if (other.size() == 13)
                typed.emplace_back(QStringLiteral("%1-%2-%3-%4-%5")
                                       .arg(other.left(3), other.mid(3, 1), other.mid(4, 3),
                                            other.mid(7, 5), other.right(1)),
                                   stored);
        }
    return typed;
}

void lookupOtherForm(benchmark::State &state) {
    guarded(state, [&] {
        ScreenUnderTest screen("frmSell");
        bench::Measured measured(state);
        std::size_t next = 0;
        const std::pair<QString, QString> *last = nullptr;
        for (auto _ : state) {
            last = &otherSpellings()[next++ % otherSpellings().size()];
            typeText(screen, "Text1", last->first);
            click(screen, "Command1");
        }
        screen.checkMessages();
        const QString shown = static_cast<QLabel *>(child(screen, "Label3_0"))->text();
        if (last != nullptr && shown != last->second)
            throw std::runtime_error("typed " + last->first.toStdString() + ", found \"" +
                                     shown.toStdString() + "\"");
    });
}

void rawLookup(benchmark::State &state) {
    guarded(state, [&] {
        bench::Measured measured(state);
        std::size_t next = 0;
        for (auto _ : state) {
            const std::string &isbn = titles()[next++ % titles().size()].isbn;
            benchmark::DoNotOptimize(
                bench::raw().read("SELECT rowid, * FROM Titles WHERE ISBN = ?1 LIMIT 1", {isbn}));
            benchmark::DoNotOptimize(
                bench::raw().read("SELECT rowid, * FROM onsale WHERE ISBN = ?1 LIMIT 1", {isbn}));
        }
    });
}

void sell(benchmark::State &state) {
    guarded(state, [&] {
        ScreenUnderTest screen("frmSell");
        const std::int64_t before = bench::raw().integer("SELECT count(*) FROM soldbook");
        bench::Measured measured(state);
        std::size_t next = 0;
        for (auto _ : state) {
            measured.pause();
            lookUp(screen, titles()[next++ % titles().size()]);
            measured.resume();
            click(screen, "Command2");
        }
        screen.checkMessages();
        const std::int64_t booked = bench::raw().integer("SELECT count(*) FROM soldbook") - before;
        if (booked != static_cast<std::int64_t>(state.iterations()))
            throw std::runtime_error("OK booked " + std::to_string(booked) + " sales for " +
                                     std::to_string(state.iterations()) + " presses");
    });
}

void rawSell(benchmark::State &state) {
    guarded(state, [&] {
        RawShop &raw = bench::raw();
        const std::string day = bench::shop().lastDay.toString(Qt::ISODate).toStdString();
        bench::Measured measured(state);
        std::size_t next = 0;
        for (auto _ : state) {
            const Sample &title = titles()[next++ % titles().size()];
            raw.run("BEGIN IMMEDIATE");
            raw.run("UPDATE Titles SET Qty = Qty - ?1 WHERE rowid = ?2",
                    {std::int64_t{1}, title.rowid});
            raw.run("INSERT INTO soldbook (SoldDate, SoldTime, ISBN, Title, Price, Qty) "
                    "VALUES (?1, ?2, ?3, ?4, ?5, ?6)",
                    {day, std::string("10:30:00"), title.isbn, title.title, title.price,
                     std::int64_t{1}});
            raw.run("COMMIT");
        }
    });
}

} // namespace

void registerSellBenchmarks() {
    bench::quillmart("Selling: lookup (List)", lookup);
    bench::baseline("Selling: lookup (List)", rawLookup);
    // Against the raw read of the title by the ISBN the catalogue holds.
    bench::quillmart("Selling: lookup in another ISBN form", lookupOtherForm);
    bench::baseline("Selling: lookup in another ISBN form", rawLookup);
    bench::quillmart("Selling: OK, one sale committed", sell);
    bench::baseline("Selling: OK, one sale committed", rawSell);
}
