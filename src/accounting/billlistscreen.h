// What the three bill screens share: a session with the bills and the suppliers, the filter
// of a supplier and a period, the grid of bills and the query that lists one supplier's bills
// of a period.
#pragma once

#include "billcredit.h"
#include "recordtablemodel.h"
#include "shopscreen.h"

#include <memory>

class DataCombo;
class DataGrid;
class DatePicker;
class QGridLayout;
class QLabel;
class QVBoxLayout;
class RecordSource;
class ShopSession;

class BillListScreen : public ShopScreen {
    Q_OBJECT
protected:
    // Which line of the filter a screen shows first.
    enum class Order { PeriodFirst, SupplierFirst };

    // Opens the screen's session with its bills (Adodc1) and the suppliers (Adodc2), unread.
    // The opening size has room for every column of a bill and a dozen lines.
    BillListScreen(const ShopContext &context, const char *screenId, const QString &windowTitle,
                   QSize openingSize, QWidget *parent);

    // Reads the bills of `listing`, then the suppliers.
    void openLists(const QString &listing);
    // The filter's controls, made in the order the screen reads them: DTPicker1 (from) and
    // DTPicker2 (to) on today, and DataCombo1 with no supplier until the operator picks one.
    void makeFilter(Order order, QWidget *parent);
    // The filter on two lines, captions in columns 0 and 2 beside the controls in 1 and 3, the
    // supplier list across columns 1 to 3. The columns from 4 on are the screen's.
    QGridLayout *layOutFilter(QWidget *supplierCaption, QWidget *fromCaption,
                              QWidget *toCaption) const;
    // A caption whose accelerator moves to its control.
    QLabel *caption(const char *objectName, const QString &text, QWidget *buddy);
    // DataGrid1 over the bills; a failure of the bills' source is shown as a message.
    void makeGrid(const QList<GridColumn> &columns, QWidget *parent);
    // The open bills' page on `parent`, top to bottom: the filter (its columns from 4 on
    // stretching), the screen's two buttons, DataGrid1 over the columns of Bill and the credit
    // line. The grid and the line are made here, after the buttons, so Tab reaches those first.
    QVBoxLayout *layOutOpenBills(QWidget *parent, QWidget *supplierCaption, QWidget *fromCaption,
                                 QWidget *toCaption, QWidget *query, QWidget *step);
    // "select * from <table> where <date><=#to# And <date>>=#from# and <supplier>='<name>'":
    // the chosen supplier's bills of the period, both days included. The supplier is kept as
    // the one the listing is of.
    QString listingText(const char *table, const Column &date, const Column &supplier);
    // lblCredit, the line under the grid where the supplier's credit stands beside its bills.
    QLabel *makeCreditLine(QWidget *parent);
    // Sets the credit of the listed supplier beside the fees of the bills listed, or clears
    // the line when the listing is of no supplier or the supplier has no credit.
    void showCredit(billcredit::Bills bills, const Column &fee);

    std::shared_ptr<ShopSession> session_;
    RecordSource *bills_;     // Adodc1
    RecordSource *suppliers_; // Adodc2
    DatePicker *from_ = nullptr;
    DatePicker *to_ = nullptr;
    DataCombo *supplier_ = nullptr;
    DataGrid *grid_ = nullptr;
    QLabel *credit_ = nullptr;

private:
    Order order_ = Order::PeriodFirst;
    QString listedSupplier_; // none until the first listing: the designed query is of all
};
