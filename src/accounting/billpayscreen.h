// frmCheckPay: lists one supplier's open bills of a period and pays the bill of the grid's
// current row, moving it from Bill to paidbill with today as its paid date.
#pragma once

#include "billlisting.h"
#include "shopcontext.h"

#include <QWidget>

class DataGrid;
class QPushButton;
class RecordSource;

class BillPayScreen : public QWidget {
    Q_OBJECT
public:
    BillPayScreen(const ShopContext &context, QWidget *parent = nullptr);

    // Command1 "Query List": the chosen supplier's open bills of the period.
    void queryList();
    // Command2 "Pay Confirm": pays the current bill after the operator confirms.
    void payConfirm();

    QString listingText() const;
    QSize sizeHint() const override;

private:
    void buildControls();
    // Writes the paidbill row and deletes the Bill row in one transaction. False when the
    // bill was no longer in Bill (paid or removed from another window).
    bool moveCurrentBill();

    ShopContext context_;
    RecordSource *bills_;     // Adodc1
    RecordSource *suppliers_; // Adodc2
    RecordSource *paidBills_; // Adodc3
    billlisting::Filter filter_;
    QPushButton *queryButton_ = nullptr;
    QPushButton *payButton_ = nullptr;
    DataGrid *grid_ = nullptr;
};
