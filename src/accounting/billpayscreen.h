// frmCheckPay: lists one supplier's open bills of a period and pays the bill of the grid's
// current row, moving it from Bill to paidbill with today as its paid date.
#pragma once

#include "billlistscreen.h"

class BillPayScreen : public BillListScreen {
    Q_OBJECT
public:
    BillPayScreen(const ShopContext &context, QWidget *parent = nullptr);

    // Command1 "Query List": the chosen supplier's open bills of the period.
    void queryList();
    // Command2 "Pay Confirm": pays the current bill after the operator confirms.
    void payConfirm();

private:
    void buildControls();
};
