// frmCheckPay: lists one supplier's open bills of a period and pays the bill of the grid's
// current row, moving it from Bill to paidbill with today as its paid date.
#pragma once

#include "billlisting.h"
#include "shopcontext.h"

#include <QWidget>
#include <memory>

class DataGrid;
class QPushButton;
class RecordSource;
class ShopSession;

class BillPayScreen : public QWidget {
    Q_OBJECT
public:
    BillPayScreen(const ShopContext &context, QWidget *parent = nullptr);

    // Command1 "Query List": the chosen supplier's open bills of the period.
    void queryList();
    // Command2 "Pay Confirm": pays the current bill after the operator confirms.
    void payConfirm();

    QSize sizeHint() const override;

private:
    void buildControls();

    ShopContext context_;
    std::shared_ptr<ShopSession> session_;
    RecordSource *bills_;     // Adodc1
    RecordSource *suppliers_; // Adodc2
    billlisting::Filter filter_;
    QPushButton *queryButton_ = nullptr;
    QPushButton *payButton_ = nullptr;
    DataGrid *grid_ = nullptr;
};
