// Controls that the day and period sales reports share: their heading, the read-only grid
// of sale rows, the box that shows the takings, and how they stand on the screen.
#pragma once

#include <QString>

class DataGrid;
class QLabel;
class QLayout;
class QPushButton;
class QWidget;
class RecordSource;

namespace reportlayout {

// The sale rows of a record source, columns SoldDate .. Qty under their field names. Reports
// never change a sale, so the grid takes no edits.
DataGrid *salesGrid(RecordSource *sales, QWidget *parent);
// The sunken box in which a report shows its total; a screen reader hears the sum, with
// `name` as its description.
QLabel *totalBox(const QString &objectName, const QString &name, QWidget *parent);
// The button of the totalling step that the shop's screen document has; never shown.
QPushButton *hiddenTotalButton(const QString &objectName, QWidget *parent);
// Stacks a report on its screen: the heading, the row of pickers, the grid taking the spare
// height, and the total on the right under it.
void stack(QWidget *screen, QLabel *heading, QLayout *pickRow, DataGrid *grid, QLabel *totalCaption,
           QLabel *totalBox);

} // namespace reportlayout
