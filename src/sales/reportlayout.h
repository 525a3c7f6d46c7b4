// Controls that the day and period sales reports share: their heading, the read-only grid
// of sale rows and the box that shows the takings.
#pragma once

#include <QString>

class DataGrid;
class QLabel;
class QWidget;
class RecordSource;

namespace reportlayout {

// A report's heading line.
QLabel *heading(const QString &objectName, const QString &text, QWidget *parent);
// The sale rows of a record source, columns SoldDate .. Qty under their field names. Reports
// never change a sale, so the grid takes no edits.
DataGrid *salesGrid(RecordSource *sales, QWidget *parent);
// The sunken box in which a report shows its total; `name` is what a screen reader calls it.
QLabel *totalBox(const QString &objectName, const QString &name, QWidget *parent);

} // namespace reportlayout
