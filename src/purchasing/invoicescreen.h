// The supplier invoice screen: records an incoming invoice as one open bill.
#pragma once

#include "shopscreen.h"

class DataCombo;
class DataGrid;
class DatePicker;
class QCloseEvent;
class QLabel;
class QLineEdit;
class RecordSource;

class InvoiceScreen : public ShopScreen {
    Q_OBJECT
public:
    // Throws DataError when the bills or the suppliers cannot be read.
    explicit InvoiceScreen(const ShopContext &context, QWidget *parent = nullptr);

    // "OK": writes one bill from the inputs and empties them for the next invoice.
    void recordInvoice();
    // "Create new Retail": shows the supplier screen and closes this one.
    void createRetail();

    QLineEdit *numberBox() const { return numberBox_; }
    DatePicker *datePicker() const { return datePicker_; }
    QLineEdit *amountBox() const { return amountBox_; }
    DataCombo *supplierList() const { return supplierList_; }
    DataGrid *grid() const { return grid_; }
    // Wide enough for the whole bill list.
    QSize sizeHint() const override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    bool amountIsUsable();
    void writeBill();
    void resetInputs();
    void showReceived();

    RecordSource *bills_;
    RecordSource *suppliers_;
    QLineEdit *numberBox_ = nullptr;
    DatePicker *datePicker_ = nullptr;
    QLineEdit *amountBox_ = nullptr;
    DataCombo *supplierList_ = nullptr;
    DataGrid *grid_ = nullptr;
    QLabel *received_ = nullptr;
    bool checksBills_ = false;
};
