// quillmart-genshop: makes a large, made-up shop database for the benchmarks, the same one
// for the same seed and sizes.
#include "dataerror.h"
#include "shopgenerator.h"
#include "toolargs.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>
#include <functional>
#include <limits>
#include <type_traits>

namespace {

using namespace toolargs;

bool number(const QString &text, long long &value) {
    bool ok = false;
    QString plain = text;
    value = plain.remove('_').remove(',').toLongLong(&ok);
    return ok && value >= 0;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    ShopSizes sizes;
    const ShopSizes d;
    auto whole = [](auto &field) {
        return [&field](const QString &text) {
            long long value = 0;
            using Field = std::decay_t<decltype(field)>;
            if (!number(text, value) ||
                static_cast<unsigned long long>(value) >
                    static_cast<unsigned long long>(std::numeric_limits<Field>::max()))
                return false;
            field = static_cast<Field>(value);
            return true;
        };
    };
    const std::pair<QCommandLineOption, std::function<bool(const QString &)>> options[] = {
        {{"seed",
          QString("Random seed (default %1); the same seed and sizes give the same shop.")
              .arg(d.seed),
          "N"},
         whole(sizes.seed)},
        {{"sales", QString("soldbook rows (default %1).").arg(d.sales), "N"}, whole(sizes.sales)},
        {{"titles",
          QString("Titles, about a quarter below their safe quantity (default %1).").arg(d.titles),
          "N"},
         whole(sizes.titles)},
        {{"suppliers", QString("Suppliers (default %1).").arg(d.suppliers), "N"},
         whole(sizes.suppliers)},
        {{"bills", QString("Supplier invoices, about three in ten paid (default %1).").arg(d.bills),
          "N"},
         whole(sizes.bills)},
        {{"offers", QString("Offers, at most one per title (default %1).").arg(d.offers), "N"},
         whole(sizes.offers)},
        {{"years", QString("Years of sales (default %1).").arg(d.years), "N"}, whole(sizes.years)},
        {{"last-day",
          QString("Last day of sales, YYYY-MM-DD (default %1).")
              .arg(d.lastDay.toString(Qt::ISODate)),
          "D"},
         [&sizes](const QString &text) {
             sizes.lastDay = QDate::fromString(text, Qt::ISODate);
             return sizes.lastDay.isValid();
         }},
    };
    QList<QCommandLineOption> declared;
    for (const auto &[option, read] : options)
        declared << option;
    QCommandLineParser parser;
    const QString path =
        toolargs::parse(parser,
                        "Creates a new shop database at PATH filled with a large made-up shop.\n"
                        "An existing file is never changed: the command then exits with code 2.",
                        declared, {"PATH", "The new shop file.", 1, 1})
            .first();
    for (const auto &[option, read] : options) {
        if (parser.isSet(option) && !read(parser.value(option)))
            toolargs::refuse(parser,
                             QString("--%1 needs a valid value.").arg(option.names().first()));
    }
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink()) {
        toolargs::say(stderr, path + " already exists; nothing was changed.");
        return kAlreadyExists;
    }
    try {
        const GeneratedShop shop = shopgen::generate(path, sizes);
        std::printf("quillmart-genshop: created %s (seed %llu)\n", qPrintable(path),
                    static_cast<unsigned long long>(sizes.seed));
        for (const TableRows &table : shop.tables)
            std::printf("  %-12s %12lld rows\n", qPrintable(table.table),
                        static_cast<long long>(table.rows));
        const auto rows = static_cast<double>(shop.totalRows);
        std::printf("  %lld rows in %.2f s (rows %.2f s, indexes %.2f s): %.0f rows/s\n"
                    "  processor time %.2f s: %.0f rows per processor second\n",
                    static_cast<long long>(shop.totalRows), shop.totalSeconds, shop.insertSeconds,
                    shop.indexSeconds, rows / shop.totalSeconds, shop.cpuSeconds,
                    rows / shop.cpuSeconds);
    } catch (const DataError &e) {
        toolargs::say(stderr, e.description());
        return kFailed;
    }
    return 0;
}
