// What every grid offers besides showing its rows: Copy (Ctrl+C) of the selected lines as
// tab-separated text that spreadsheets paste into cells, Export… of the whole list to a CSV
// file or an Excel workbook, and Print… of the list as a paged table, all from its context
// menu (right click or the menu key).
#pragma once

#include "tableexport.h"

#include <QObject>

class DataGrid;
struct PrintedTable;

// A grid whose rows hold personal data carries this property: the sentence that says so, which
// Export… shows (and asks to go on) before the file is chosen.
inline constexpr char personalDataProperty[] = "personalDataNotice";

class GridCommands : public QObject {
    Q_OBJECT
public:
    explicit GridCommands(DataGrid *grid);

    // The selected lines (or the current cell), tab-separated, one line of text per row.
    QString selectionText() const;
    void copy();
    // Asks for a file and exports the whole list to it.
    void exportAll();
    // Exports the whole list with a progress dialog that can cancel it. True when the file is
    // in place; a failure is shown to the operator.
    bool exportTo(const QString &path, TableExport::Format format);
    // Shows the list as a paged table in print preview, from which the operator prints on
    // paper or to a PDF file.
    void print();
    // The whole list as the printer lays it out.
    PrintedTable printedTable() const;
    QList<ExportColumn> exportColumns() const;
    // The caption of the screen the grid stands on.
    QString screenTitle() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showFailure(const QString &text) const;

    DataGrid *grid_;
};
