// The receipts the shop refused for good when a till sent them after selling while the server
// was away (frmRefusedReceipts), newest first: the till, why, when, and the receipt as the till
// made it, so that the back office can book it by hand. The list is copied, exported and
// printed as every list is.
#pragma once

#include "shopscreen.h"

class DataGrid;
class RecordSource;

class RefusedReceiptsScreen : public ShopScreen {
    Q_OBJECT
public:
    explicit RefusedReceiptsScreen(const ShopContext &context, QWidget *parent = nullptr);

    void refresh();
    DataGrid *grid() const { return grid_; }

private:
    RecordSource *refused_;
    DataGrid *grid_;
};
