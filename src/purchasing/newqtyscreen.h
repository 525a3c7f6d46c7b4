// frmNewQty: adding newly bought copies to a title's stock, found by ISBN.
#pragma once

#include "recordeditor.h"

class QLineEdit;

class NewQtyScreen : public RecordEditor {
    Q_OBJECT
public:
    explicit NewQtyScreen(const ShopContext &context, QWidget *parent = nullptr);

    QLineEdit *isbnBox() const { return isbnBox_; }
    QLineEdit *quantityBox() const { return quantityBox_; }

    // OK: the typed copies are added to the stock of the first title with the typed ISBN; the
    // customer orders waiting for the title are offered them, oldest first.
    void addQuantity();

private:
    enum class Found { None, One, Several };
    Found findTitle(const QString &isbn);
    bool addToStock(double copies);
    void setAsideForOrders(qint64 bookNo);

    QLineEdit *isbnBox_;
    QLineEdit *quantityBox_;
};
