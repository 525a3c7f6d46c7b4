// Generating a large, made-up shop database for the benchmarks: years of counter sales, a
// big catalogue, suppliers, bills and offers, the same for the same seed on every machine.
#pragma once

#include <QDate>
#include <QString>
#include <cstdint>
#include <vector>

struct ShopSizes {
    std::uint64_t seed = 1;
    std::int64_t sales = 2'000'000; // soldbook rows
    int titles = 100'000;           // about a quarter below their safe quantity
    int suppliers = 50;
    int bills = 20'000; // invoices; some of them already paid
    int offers = 2'000; // one per title at most
    int years = 3;      // of sales, up to and including lastDay
    QDate lastDay{2024, 12, 31};
};

struct TableRows {
    QString table;
    std::int64_t rows = 0;
};

struct GeneratedShop {
    std::vector<TableRows> tables;
    std::int64_t totalRows = 0;
    double insertSeconds = 0; // writing the rows
    double indexSeconds = 0;  // building the indexes afterwards
    double totalSeconds = 0;  // all of it, from the empty file to the committed shop
    double cpuSeconds = 0;    // processor time of all of it (below totalSeconds on a busy machine)
};

namespace shopgen {

// Throws DataError for sizes that make no shop (no titles, negative counts, ...).
void check(const ShopSizes &sizes);

// Creates a new shop database at the path (never over an existing file) and fills it in one
// transaction. Throws DataError; a half-made file is removed again.
GeneratedShop generate(const QString &path, const ShopSizes &sizes);

} // namespace shopgen
