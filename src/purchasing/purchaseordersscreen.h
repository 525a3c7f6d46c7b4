// Purchase Orders (frmPurchaseOrders): the shop's orders to its suppliers, newest first, and the
// lines of the one chosen: copies ordered, received, invoiced and cancelled, each line's cost
// and the customer order it is for. A draft is sent, a line's copies still to come cancelled,
// an order closed. The chosen order prints (on paper or to a PDF file) and exports as every
// list does, to be sent to the supplier.
#pragma once

#include "shopscreen.h"

#include <optional>

class DataGrid;
class QCheckBox;
class RecordSource;

class PurchaseOrdersScreen : public ShopScreen {
    Q_OBJECT
public:
    explicit PurchaseOrdersScreen(const ShopContext &context, QWidget *parent = nullptr);

    void send();
    void cancelLine();
    void closeOrder();
    // The chosen order's lines in print preview, titled with the order and its supplier.
    void printOrder();
    void refresh();

    DataGrid *linesGrid() const { return linesGrid_; }
    std::optional<qint64> chosenOrder() const;

private:
    void showLines();
    template <typename Step> void onChosen(Step &&step);

    RecordSource *orders_;
    RecordSource *lines_;
    DataGrid *linesGrid_;
    QCheckBox *unfinished_;
    qint64 linesOf_ = -1;
};
