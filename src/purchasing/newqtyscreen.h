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

    // OK: the typed copies are added to the stock of the first title with the typed ISBN.
    void addQuantity();

private:
    enum class Found { None, One, Several };
    Found findTitle(const QString &isbn);
    bool addToStock(double copies);

    QLineEdit *isbnBox_;
    QLineEdit *quantityBox_;
};
