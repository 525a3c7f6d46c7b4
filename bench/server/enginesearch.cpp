// "Do you have…?" on either engine: the list after each key as an operator types a title's
// words, an author, an ISBN or words no title has, one search per key (the slowest key
// counts); against the engine's C API running the same statements with the same values.
#include "catalogsearch.h"
#include "connection.h"
#include "engineshop.h"
#include "opendatabase.h"
#include "rawserver.h"
#include "rawshop.h"
#include "recordsource.h"
#include "screenshop.h"
#include "shopsession.h"
#include "textorder.h"
#include "wordmatch.h"

#include <QElapsedTimer>
#include <algorithm>
#include <map>

namespace {

using namespace screenbench;

// What is typed, key by key: the text after each key.
std::vector<QString> keystrokes(const QString &typed) {
    std::vector<QString> texts;
    for (qsizetype i = 1; i <= typed.size(); ++i)
        texts.push_back(typed.left(i));
    return texts;
}

// A title of the shop's: two words of its name, its author's last name, its ISBN.
const std::map<std::string, QString> &typings() {
    static std::map<std::string, QString> known;
    if (known.empty()) {
        // Title 4321 of the large shop; the last title of a smaller one.
        const auto row = bench::raw().texts(
            "SELECT Title, Author, ISBN FROM Titles WHERE BOOKNO = 4321 OR BOOKNO = "
            "(SELECT max(BOOKNO) FROM Titles) ORDER BY BOOKNO LIMIT 1")[0];
        const QStringList title = QString::fromStdString(row[0]).split(u' ');
        known["title words"] = title.mid(0, 2).join(u' ').toLower();
        known["author"] = QString::fromStdString(row[1]).split(u' ').last();
        known["ISBN"] = QString::fromStdString(row[2]);
        known["no such words"] = QStringLiteral("zebra quixote");
    }
    return known;
}

void search(benchmark::State &state, const std::string &what) {
    guarded(state, [&] {
        auto session = ShopSession::open(drivers::open(bench::shop().location));
        RecordSource list(QStringLiteral("adoFound"), session);
        const std::vector<QString> keys = keystrokes(typings().at(what));
        bench::Measured measured(state);
        double slowest = 0, rows = 0;
        for (auto _ : state)
            for (const QString &typed : keys) {
                QElapsedTimer clock;
                clock.start();
                catalogsearch::open(list, typed);
                rows = list.recordCount();
                slowest = std::max(slowest, static_cast<double>(clock.nsecsElapsed()) / 1e6);
            }
        measured.set("keys", static_cast<double>(keys.size()));
        measured.set("slowest_key_ms", slowest);
        measured.set("rows_last_key", rows);
    });
}

// The same statements and values through the engine's C API.
void rawSearch(benchmark::State &state, const std::string &what) {
    guarded(state, [&] {
        Connection connection = drivers::open(bench::shop().location).connect();
        struct Read {
            std::string sql;
            std::vector<std::string> values;
        };
        std::vector<Read> reads;
        for (const QString &typed : keystrokes(typings().at(what))) {
            const catalogsearch::Search search = catalogsearch::prepare(connection, typed);
            Read read{search.query.sql.sql.toStdString(), {}};
            for (const QVariant &value : search.values)
                read.values.push_back(value.toString().toStdString());
            reads.push_back(read);
        }
        if (!bench::onServer()) { // the file's own function and text order, as the program's
            wordmatch::registerOn(bench::raw().handle());
            TextOrder::registerOn(bench::raw().handle());
        }
        bench::Measured measured(state);
        double slowest = 0;
        for (auto _ : state)
            for (const Read &read : reads) {
                QElapsedTimer clock;
                clock.start();
                if (bench::onServer()) {
                    benchmark::DoNotOptimize(bench::rawServer().read(read.sql, read.values));
                } else {
                    std::vector<RawShop::Value> values(read.values.begin(), read.values.end());
                    benchmark::DoNotOptimize(bench::raw().read(read.sql, values));
                }
                slowest = std::max(slowest, static_cast<double>(clock.nsecsElapsed()) / 1e6);
            }
        measured.set("slowest_key_ms", slowest);
    });
}

} // namespace

void registerEngineSearchBenchmarks() {
    for (const char *what : {"title words", "author", "ISBN", "no such words"}) {
        const std::string name = std::string("Do you have…? every key typing ") + what;
        bench::quillmart(name, [what](benchmark::State &s) { search(s, what); });
        bench::baseline(name, [what](benchmark::State &s) { rawSearch(s, what); });
    }
}
