// Shared seeds for the accounting tests: suppliers, open and paid bills, and the supplier and
// period cases that every bill listing must get right.
#pragma once

#include "datacombo.h"
#include "datagrid.h"
#include "datepicker.h"
#include "testsupport.h"

#include <QAbstractItemModel>
#include <QDate>
#include <QTableView>
#include <QWidget>
#include <ostream>
#include <vector>

namespace accounting_test {

inline void addSupplier(TestShop &shop, const QString &name) {
    Statement insert =
        shop.db.connection().prepare(QStringLiteral("INSERT INTO retail (RetName) VALUES (?)"));
    insert.bind(1, name);
    insert.step();
}

// An open bill (table "Bill") or a paid one ("paidbill", paid on paidDay).
inline void addBill(TestShop &shop, const QString &table, const QString &invoiceNo, QDate day,
                    double fee, const QString &time, const QString &supplier,
                    QDate paidDay = QDate(2001, 5, 3)) {
    const bool paid = table.compare(QLatin1String("paidbill"), Qt::CaseInsensitive) == 0;
    Statement insert = shop.db.connection().prepare(
        paid ? QStringLiteral("INSERT INTO paidbill VALUES (?,?,?,?,?,?)")
             : QStringLiteral("INSERT INTO Bill VALUES (?,?,?,?,?)"));
    QVariantList values{invoiceNo, day.toString(Qt::ISODate), fee, time, supplier};
    if (paid)
        values << paidDay.toString(Qt::ISODate);
    insert.bindAll(values);
    insert.step();
}

// Bills of several suppliers around 2001/5/3. In paidbill they were all paid on 2001/5/3, so
// that a filter on the paid day instead of the invoice day shows.
inline void seedListingBills(TestShop &shop, const QString &table) {
    for (const char *name : {"Ace Books", "O'Hara Books", "明日書局"})
        addSupplier(shop, QString::fromUtf8(name));
    addBill(shop, table, "A-1", QDate(2001, 5, 3), 120, "09:00:00", "Ace Books");
    addBill(shop, table, "A-2", QDate(2001, 5, 2), 37.5, "09:05:00", "Ace Books");
    addBill(shop, table, "A-3", QDate(2001, 5, 4), 300, "09:10:00", "Ace Books");
    addBill(shop, table, "H-1", QDate(2001, 5, 3), 45, "10:00:00", "O'Hara Books");
    addBill(shop, table, "N-1", QDate(2001, 5, 3), 12, "11:00:00", "");
    addBill(shop, table, "C-1", QDate(2001, 5, 3), 880, "12:00:00", QString::fromUtf8("明日書局"));
}

struct ListingCase {
    const char *what;
    QString supplier;
    QDate from;
    QDate to;
    QStringList invoices; // sorted: a listing comes in the order the database returns it
};

inline std::vector<ListingCase> listingCases() {
    const QDate d2(2001, 5, 2), d3(2001, 5, 3), d4(2001, 5, 4);
    return {
        {"same day", "Ace Books", d3, d3, {"A-1"}},
        {"both days included", "Ace Books", d2, d4, {"A-1", "A-2", "A-3"}},
        {"reversed period", "Ace Books", d4, d2, {}},
        {"no supplier chosen", "", d3, d3, {"N-1"}},
        {"apostrophe", "O'Hara Books", d2, d4, {"H-1"}},
        {"Chinese name", QString::fromUtf8("明日書局"), d3, d3, {"C-1"}},
        {"unknown supplier", "Nobody", d2, d4, {}},
    };
}

// Sets the screen's supplier and period as the operator would leave them.
inline void chooseListing(QWidget &screen, const QString &supplier, QDate from, QDate to) {
    screen.findChild<DataCombo *>(QStringLiteral("DataCombo1"))->setText(supplier);
    screen.findChild<DatePicker *>(QStringLiteral("DTPicker1"))->setDate(from);
    screen.findChild<DatePicker *>(QStringLiteral("DTPicker2"))->setDate(to);
}

// The first column (Invoice No) of every line of the screen's grid.
inline QStringList gridInvoices(QWidget &screen) {
    const QAbstractItemModel *model =
        screen.findChild<DataGrid *>(QStringLiteral("DataGrid1"))->model();
    QStringList invoices;
    for (int row = 0; row < model->rowCount(); ++row)
        invoices << model->data(model->index(row, 0)).toString();
    return invoices;
}

inline QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

// Makes the grid line of this invoice current, as a click on it would.
inline void selectInvoice(QWidget &screen, const QString &invoiceNo) {
    auto *grid = screen.findChild<DataGrid *>(QStringLiteral("DataGrid1"));
    const int row = static_cast<int>(gridInvoices(screen).indexOf(invoiceNo));
    grid->view()->selectRow(row);
}

inline QStringList gridCaptions(QWidget &screen) {
    const QAbstractItemModel *model =
        screen.findChild<DataGrid *>(QStringLiteral("DataGrid1"))->model();
    QStringList captions;
    for (int column = 0; column < model->columnCount(); ++column)
        captions << model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    return captions;
}

} // namespace accounting_test

// Readable QString values in failure messages.
inline void PrintTo(const QString &text, std::ostream *out) {
    *out << '"' << text.toStdString() << '"';
}
