// frmPayRec: the records of paid bills, listed by supplier and invoice dates; a record can
// be deleted.
#pragma once

#include "billlisting.h"
#include "shopcontext.h"

#include <QWidget>

class DataGrid;
class QPushButton;
class RecordSource;

class PaidRecordsScreen : public QWidget {
    Q_OBJECT
public:
    PaidRecordsScreen(const ShopContext &context, QWidget *parent = nullptr);

    // Command1 "list": the chosen supplier's paid bills invoiced within the period.
    void list();
    // cmdDelete: deletes the current paid-bill record at once, without asking.
    void deleteRecord();
    // cmdRefresh: runs the last listing (or the first one) again.
    void refresh();
    // cmdClose.
    void closeScreen();

    QSize sizeHint() const override;

private:
    void buildControls();

    ShopContext context_;
    RecordSource *paidBills_; // Adodc1
    RecordSource *suppliers_; // Adodc2
    billlisting::Filter filter_;
    QPushButton *listButton_ = nullptr;
    DataGrid *grid_ = nullptr;
};
