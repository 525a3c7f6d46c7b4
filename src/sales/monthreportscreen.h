// The period report (frmMonthRpt): every sale from a first to a last day, both included, in
// day order, and the takings of the period. Queries only when "List" is pressed.
#pragma once

#include "shopcontext.h"

#include <QWidget>

class DataGrid;
class DatePicker;
class QLabel;
class RecordSource;

class MonthReportScreen : public QWidget {
    Q_OBJECT
public:
    explicit MonthReportScreen(const ShopContext &context, QWidget *parent = nullptr);
    QSize sizeHint() const override;

    // "List": caption, the period's sales, the total.
    void list();
    // The totalling step: the takings of the period between the two pickers.
    void total();

private:
    void buildControls();

    ShopContext context_;
    RecordSource *sales_;
    DatePicker *firstPicker_ = nullptr;
    DatePicker *lastPicker_ = nullptr;
    DataGrid *grid_ = nullptr;
    QLabel *totalLabel_ = nullptr;
};
