// frmBill: lists one supplier's open bills of a period, copies them into tempPay and shows
// the bill report of tempPay in a preview window from which the operator prints.
#pragma once

#include "billlisting.h"
#include "shopcontext.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class DataGrid;
class QPrintPreviewDialog;
class QPushButton;
class RecordSource;
class ShopSession;

class BillPrintScreen : public QWidget {
    Q_OBJECT
public:
    BillPrintScreen(const ShopContext &context, QWidget *parent = nullptr);

    // Command1 "Query List": the chosen supplier's bills of the period, both days included,
    // listed in the grid and copied into tempPay with the supplier's name.
    void queryList();
    // Command2 "Print Preview": the report of what tempPay holds now, in a preview window.
    void printPreview();
    // Empties the shared scratch table tempPay.
    void clearTempPay();

    QSize sizeHint() const override;
    // The preview window opened last, while it is open.
    QPrintPreviewDialog *preview() const;

private:
    void buildControls();

    ShopContext context_;
    std::shared_ptr<ShopSession> session_;
    RecordSource *bills_;     // Adodc1
    RecordSource *suppliers_; // Adodc2
    RecordSource *tempPay_;   // Adodc3
    billlisting::Filter filter_;
    QPushButton *queryButton_ = nullptr;
    QPushButton *previewButton_ = nullptr;
    DataGrid *grid_ = nullptr;
    QPointer<QPrintPreviewDialog> preview_;
};
