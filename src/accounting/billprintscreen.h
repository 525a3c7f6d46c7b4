// frmBill: lists one supplier's open bills of a period, copies them into tempPay and shows
// the bill report of tempPay in a preview window from which the operator prints.
#pragma once

#include "billlistscreen.h"

#include <QPointer>

class QPrintPreviewDialog;

class BillPrintScreen : public BillListScreen {
    Q_OBJECT
public:
    BillPrintScreen(const ShopContext &context, QWidget *parent = nullptr);

    // Command1 "Query List": the chosen supplier's bills of the period, both days included,
    // listed in the grid and copied into tempPay with the supplier's name.
    void queryList();
    // Command2 "Print Preview": the report of what tempPay holds now, in a preview window.
    void printPreview();

    // The preview window opened last, while it is open.
    QPrintPreviewDialog *preview() const;

private:
    void buildControls();

    QPointer<QPrintPreviewDialog> preview_;
};
