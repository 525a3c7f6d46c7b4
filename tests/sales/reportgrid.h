// Helpers for the sales report tests: sale rows seeded into the test shop, what a data grid
// shows, one line per row with its cells joined by '|', and a fixture holding a report screen.
#pragma once

#include "datagrid.h"
#include "testsupport.h"

#include <QLabel>
#include <QStringList>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// Readable QString values in test failures.
inline void PrintTo(const QString &text, std::ostream *out) {
    *out << '"' << text.toStdString() << '"';
}

inline void addSale(TestDatabase &db, const QString &day, const QString &time, const QString &isbn,
                    const QString &title, const QString &price, const QString &qty) {
    db.exec(QStringLiteral("INSERT INTO soldbook VALUES ('%1','%2','%3','%4',%5,%6)")
                .arg(day, time, isbn, title, price, qty));
}

// `count` sales of one day alike, made by the database itself.
inline void addSales(TestDatabase &db, int count, const QString &day, const QString &price,
                     const QString &qty) {
    db.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                           "WHERE i < %1) INSERT INTO soldbook (SoldDate, SoldTime, ISBN, Title, "
                           "Price, Qty) SELECT '%2', '12:00:00', 'X', 'Many', %3, %4 FROM n")
                .arg(count)
                .arg(day, price, qty));
}

inline QStringList gridLines(const QWidget &screen) {
    const auto *grid = screen.findChild<DataGrid *>(QStringLiteral("DataGrid1"));
    QStringList lines;
    if (grid == nullptr)
        return lines;
    const auto *model = grid->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column)
            cells << model->data(model->index(row, column), Qt::DisplayRole).toString();
        lines << cells.join(QLatin1Char('|'));
    }
    return lines;
}

// One cell of every line of the screen's grid.
inline QStringList gridColumn(const QWidget &screen, int column) {
    QStringList cells;
    for (const QString &line : gridLines(screen))
        cells << line.section(QLatin1Char('|'), column, column);
    return cells;
}

inline QString gridCaption(const QWidget &screen) {
    const auto *grid = screen.findChild<DataGrid *>(QStringLiteral("DataGrid1"));
    return grid != nullptr ? grid->caption() : QString();
}

// Column headings of the screen's grid.
inline QStringList gridHeadings(const QWidget &screen) {
    const auto *grid = screen.findChild<DataGrid *>(QStringLiteral("DataGrid1"));
    QStringList headings;
    for (int column = 0; column < grid->model()->columnCount(); ++column)
        headings << grid->model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    return headings;
}

// True when no cell of the grid takes an edit.
inline bool gridIsReadOnly(const QWidget &screen) {
    const auto *grid = screen.findChild<DataGrid *>(QStringLiteral("DataGrid1"));
    const auto *model = grid->model();
    for (int row = 0; row < model->rowCount(); ++row)
        for (int column = 0; column < model->columnCount(); ++column)
            if (model->flags(model->index(row, column)) & Qt::ItemIsEditable)
                return false;
    return true;
}

// What a report's total box (Label4) shows.
inline QString reportTotal(const QWidget &screen) {
    return screen.findChild<QLabel *>(QStringLiteral("Label4"))->text();
}

// A report screen on the test shop; open() builds it once the sales are seeded.
template <typename Screen> class ReportTest : public ::testing::Test {
protected:
    void open() { screen = std::make_unique<Screen>(shop.context); }
    QString total() const { return reportTotal(*screen); }

    TestShop shop;
    std::unique_ptr<Screen> screen;
};
