// The day report (frmDayReport): every sale of one chosen day in time order, and the day's
// takings. Opens on today's sales.
#pragma once

#include "shopcontext.h"

#include <QWidget>

class DataGrid;
class DatePicker;
class QLabel;
class RecordSource;

class DayReportScreen : public QWidget {
    Q_OBJECT
public:
    explicit DayReportScreen(const ShopContext &context, QWidget *parent = nullptr);
    QSize sizeHint() const override;

    // A change of the date: caption, the day's sales, the total.
    void showDay();
    // The totalling step: the takings of the day shown in the picker.
    void total();

private:
    void buildControls();

    ShopContext context_;
    RecordSource *sales_;
    DatePicker *dayPicker_ = nullptr;
    DataGrid *grid_ = nullptr;
    QLabel *totalLabel_ = nullptr;
};
