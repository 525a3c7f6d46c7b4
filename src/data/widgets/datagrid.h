// The data grid: a table view bound to one record source, an optional caption line above
// it, and one current row shared with the record source both ways.
#pragma once

#include "recordtablemodel.h"

#include <QWidget>

class QLabel;
class QTableView;
class RecordSource;

class DataGrid : public QWidget {
    Q_OBJECT
public:
    DataGrid(RecordSource *source, QList<GridColumn> columns, QWidget *parent = nullptr);

    void setCaption(const QString &caption);
    QString caption() const;
    void setReadOnly(bool readOnly);
    QTableView *view() const { return view_; }
    RecordTableModel *model() const { return model_; }
    // Row shown as current (0-based), -1 when none.
    int currentLine() const;
    // Width that shows every column without scrolling sideways (for a screen's opening size).
    int widthForAllColumns() const;

private:
    void followSource();
    void followView(int row);
    void sizeColumns();

    RecordSource *source_;
    RecordTableModel *model_;
    QLabel *captionLabel_;
    QTableView *view_;
    bool syncing_ = false;
};

// A list the operator reads and chooses from, never types into: read only, its table named
// for screen readers.
DataGrid *listGrid(RecordSource *source, QList<GridColumn> columns, const QString &accessibleName,
                   QWidget *parent);
