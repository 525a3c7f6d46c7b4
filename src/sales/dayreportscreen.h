// The day report (frmDayReport): every sale of one chosen day in time order, and the day's
// takings. Opens on today's sales.
#pragma once

#include "salesreportscreen.h"

class DayReportScreen : public SalesReportScreen {
    Q_OBJECT
public:
    explicit DayReportScreen(const ShopContext &context, QWidget *parent = nullptr);

    // A change of the date: caption, the day's sales, the total.
    void showDay();
};
