// The made-up demo catalogue of a new shop, as rows ready to insert into each table.
#pragma once

#include <QDate>
#include <QStringList>
#include <QVariant>
#include <vector>

struct DemoTable {
    QString table;
    QStringList columns;
    std::vector<QVariantList> rows;
};

// Subjects, publishers, suppliers and titles, then offers, open and paid bills and sales
// dated around `today`. The same day always gives the same rows.
std::vector<DemoTable> demoCatalogue(const QDate &today);
