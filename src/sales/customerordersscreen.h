// Customer Orders (frmCustomerOrders): the shop's orders for customers, shown by list (open,
// to place with suppliers, customers to tell, not collected in time, all), those waiting longer
// than the shop's limit marked. New orders are taken here, and each order is moved on a step at
// a time: placed, its copies set aside, the customer told, collected, cancelled or abandoned.
// The lists copy, export and print as every list does and say that they hold personal data.
#pragma once

#include "orderlists.h"
#include "shopscreen.h"

#include <optional>

class DataGrid;
class QComboBox;
class QPrintPreviewDialog;
class QPrinter;
class RecordSource;

class CustomerOrdersScreen : public ShopScreen {
    Q_OBJECT
public:
    explicit CustomerOrdersScreen(const ShopContext &context, QWidget *parent = nullptr);

    // Shows a list; `All` (none) is every order, newest first.
    void showList(std::optional<OrderList> list);
    // The operator's steps on the order chosen in the list.
    void newOrder();
    // Takes a deposit on the chosen order into this till's session: the amount and method
    // given, or as the operator types them in the deposit window.
    void takeDeposit(std::optional<Money> amount = std::nullopt, qint64 method = 0);
    void place() { moveChosen(OrderState::Ordered); }
    void setAside();
    void tell(ToldBy how) { moveChosen(OrderState::Told, how); }
    void collect();
    void cancelOrder();
    void abandon() { moveChosen(OrderState::Abandoned); }
    // The chosen order's hold slip, in print preview on the receipt printer's paper; null when
    // there is none to print (the operator was told why).
    QPrintPreviewDialog *printHoldSlip();
    // The chosen order's hold slip printed on `printer`; the pages printed, 0 when none.
    int printHoldSlipOn(QPrinter &printer);
    void refresh();

    DataGrid *grid() const { return grid_; }
    // The order chosen in the list; none when no row is.
    std::optional<qint64> chosenOrder() const;

private:
    // Runs a step on the chosen order, telling the operator why it could not be made.
    template <typename Step> void onChosen(Step &&step);
    // Moves the chosen order on to `to`, told `how` when it is the customer who is told.
    void moveChosen(OrderState to, std::optional<ToldBy> how = std::nullopt);

    RecordSource *orders_;
    DataGrid *grid_;
    QComboBox *lists_;
    std::optional<OrderList> shown_ = OrderList::Open;
};
