// Receive Delivery (frmReceive): a supplier's delivery received against its open orders, built
// for the scanner: each ISBN scanned (or typed, then Enter) adds the copies in the Copies box
// (1 unless typed) to the delivery, and the box goes back to 1. Receive stores the delivery in
// one step, after the operator accepts what was not ordered or more than ordered; the stock rises
// and waiting customer orders get their copies first.
#pragma once

#include "receiving.h"
#include "shopscreen.h"

#include <memory>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QTableWidget;
class ShopSession;

class ReceiveScreen : public ShopScreen {
    Q_OBJECT
public:
    explicit ReceiveScreen(const ShopContext &context, QWidget *parent = nullptr);

    void chooseSupplier(const QString &supplier);
    // The title of the ISBN box, with the copies of the Copies box, added to the delivery.
    bool addScanned();
    void removeLine();
    // Receives the delivery; true when it was stored.
    bool receiveDelivery();

    QComboBox *orderBox() const { return orders_; }
    QLineEdit *isbnBox() const { return isbn_; }
    QLineEdit *copiesBox() const { return copies_; }
    QTableWidget *linesTable() const { return lines_; }

private:
    std::shared_ptr<ShopSession> session_;
    QComboBox *suppliers_;
    QComboBox *orders_;
    QCheckBox *returnBy_;
    QDateEdit *returnDate_;
    QLineEdit *isbn_;
    QLineEdit *copies_;
    QTableWidget *lines_;
    std::vector<DeliveredCopies> delivery_; // the lines of the table, in its order
};
