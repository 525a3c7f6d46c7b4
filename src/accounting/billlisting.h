// What the three bill screens share: the supplier and period filter, the grid of bills and
// the query that lists one supplier's bills of a period.
#pragma once

#include "recordtablemodel.h"
#include "shoptables.h"

#include <QDate>
#include <QList>
#include <QString>

class DataCombo;
class DataGrid;
class DatePicker;
class MessageBoxes;
class QGridLayout;
class QLabel;
class QWidget;
class RecordSource;

namespace billlisting {

// Which line of the filter a screen shows first.
enum class Order { PeriodFirst, SupplierFirst };

// DTPicker1 (from), DTPicker2 (to) and DataCombo1 (the suppliers' names).
struct Filter {
    Order order = Order::PeriodFirst;
    DatePicker *from = nullptr;
    DatePicker *to = nullptr;
    DataCombo *supplier = nullptr;

    // "select * from <table> where <date><=#to# And <date>>=#from# and <supplier>='<name>'":
    // the chosen supplier's bills of the period, both days included.
    QString listingText(const char *table, const Column &date, const Column &supplier) const;
};

// The filter's controls, made in the order the screen reads them: both pickers on `day`, the
// supplier list with no supplier chosen until the operator picks one.
Filter makeFilter(RecordSource *suppliers, Order order, const QDate &day, QWidget *parent);

// The filter on two lines, captions in columns 0 and 2 beside the controls in 1 and 3, the
// supplier list across columns 1 to 3. The columns from 4 on are the screen's.
QGridLayout *layOutFilter(const Filter &filter, QWidget *supplierCaption, QWidget *fromCaption,
                          QWidget *toCaption);

// A caption whose accelerator moves to its control.
QLabel *caption(const QString &objectName, const QString &text, QWidget *buddy, QWidget *parent);

// DataGrid1 over a source of bills; a failure of the source is shown as a message.
DataGrid *billGrid(RecordSource *bills, const QList<GridColumn> &columns, MessageBoxes *messages,
                   QWidget *parent);

} // namespace billlisting
