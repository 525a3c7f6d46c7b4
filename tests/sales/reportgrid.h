// Helpers for the sales report tests: sale rows seeded into the test shop, and what a data
// grid shows, one line per row with its cells joined by '|'.
#pragma once

#include "datagrid.h"
#include "testsupport.h"

#include <QStringList>
#include <QWidget>
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
