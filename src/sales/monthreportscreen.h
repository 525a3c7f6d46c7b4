// The period report (frmMonthRpt): every sale from a first to a last day, both included, in
// day order, and the takings of the period. Queries only when "List" is pressed.
#pragma once

#include "salesreportscreen.h"

class MonthReportScreen : public SalesReportScreen {
    Q_OBJECT
public:
    explicit MonthReportScreen(const ShopContext &context, QWidget *parent = nullptr);

    // "List": caption, the period's sales, the total.
    void list();
};
