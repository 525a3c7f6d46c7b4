// quillmart-genshop: makes a large, made-up shop database for the benchmarks, the same one
// for the same seed and sizes.
#include "dataerror.h"
#include "shopgenerator.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>
#include <functional>
#include <limits>
#include <map>
#include <type_traits>

namespace {

constexpr int kFailed = 1;
constexpr int kAlreadyExists = 2;

void usage(FILE *stream) {
    const ShopSizes d;
    std::fprintf(stream,
                 "Usage: quillmart-genshop [options] PATH\n"
                 "Creates a new shop database at PATH filled with a large made-up shop.\n"
                 "  --seed N        random seed (default %llu); the same seed and sizes give\n"
                 "                  the same shop\n"
                 "  --sales N       soldbook rows (default %lld)\n"
                 "  --titles N      titles, about a quarter below their safe quantity "
                 "(default %d)\n"
                 "  --suppliers N   suppliers (default %d)\n"
                 "  --bills N       supplier invoices, about three in ten paid (default %d)\n"
                 "  --offers N      offers, at most one per title (default %d)\n"
                 "  --years N       years of sales (default %d)\n"
                 "  --last-day D    last day of sales, YYYY-MM-DD (default %s)\n"
                 "An existing file is never changed: the command then exits with code 2.\n",
                 static_cast<unsigned long long>(d.seed), static_cast<long long>(d.sales), d.titles,
                 d.suppliers, d.bills, d.offers, d.years,
                 qPrintable(d.lastDay.toString(Qt::ISODate)));
}

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
    QString path;
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
    const std::map<QString, std::function<bool(const QString &)>> options = {
        {"--seed", whole(sizes.seed)},
        {"--sales", whole(sizes.sales)},
        {"--titles", whole(sizes.titles)},
        {"--suppliers", whole(sizes.suppliers)},
        {"--bills", whole(sizes.bills)},
        {"--offers", whole(sizes.offers)},
        {"--years", whole(sizes.years)},
        {"--last-day",
         [&sizes](const QString &text) {
             sizes.lastDay = QDate::fromString(text, Qt::ISODate);
             return sizes.lastDay.isValid();
         }},
    };
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        }
        const auto option = options.find(arg);
        if (option != options.end()) {
            if (i + 1 >= args.size() || !option->second(args[i + 1])) {
                std::fprintf(stderr, "quillmart-genshop: %s needs a valid value.\n",
                             qPrintable(arg));
                return kFailed;
            }
            ++i;
        } else if (!arg.startsWith('-') && path.isEmpty() && !arg.isEmpty()) {
            path = arg;
        } else {
            std::fprintf(stderr, "quillmart-genshop: unexpected argument '%s'.\n", qPrintable(arg));
            usage(stderr);
            return kFailed;
        }
    }
    if (path.isEmpty()) {
        usage(stderr);
        return kFailed;
    }
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink()) {
        std::fprintf(stderr, "quillmart-genshop: %s already exists; nothing was changed.\n",
                     qPrintable(path));
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
        std::fprintf(stderr, "quillmart-genshop: %s\n", e.what());
        return kFailed;
    }
    return 0;
}
