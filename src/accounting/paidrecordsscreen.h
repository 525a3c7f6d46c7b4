// frmPayRec: the records of paid bills, listed by supplier and invoice dates; a record can
// be deleted.
#pragma once

#include "billlistscreen.h"

class PaidRecordsScreen : public BillListScreen {
    Q_OBJECT
public:
    PaidRecordsScreen(const ShopContext &context, QWidget *parent = nullptr);

    // Command1 "list": the chosen supplier's paid bills invoiced within the period.
    void list();
    // cmdDelete: deletes the current paid-bill record at once, without asking.
    void deleteRecord();
    // cmdRefresh: runs the last listing (or the first one) again.
    void refresh();

private:
    void buildControls();
};
