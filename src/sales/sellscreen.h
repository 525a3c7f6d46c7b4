// The counter screen: look a title up by ISBN, sell it, and build the customer's list and total.
#pragma once

#include "receipt.h"
#include "shopoperations.h"
#include "shopscreen.h"

#include <array>
#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class ReceiptList;
class RecordSource;
class ShopSession;

class SellScreen : public ShopScreen {
    Q_OBJECT
public:
    explicit SellScreen(const ShopContext &context, QWidget *parent = nullptr);

    // "List": shows the title, its price, today's offer if any, and the subtotal.
    void lookup();
    // "OK": books the looked-up sale and prints it on the customer's list.
    void recordSale();
    // "Next Customer": empties the list and the total; a pending lookup stays.
    void nextCustomer();
    void clearDisplay();

    double saleTotal() const { return saleTotal_; }
    bool onSaleFlag() const { return onSaleFlag_; }
    bool hasLookup() const { return lookedUp_.has_value(); }
    // What the customer's receipt prints: the list's lines, the total, the time now.
    Receipt customerReceipt() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void openSources();
    void buildControls();
    void arrangeControls();
    void alignListCaptions();
    void lookUpTitle();
    bool findInOtherForm(const QString &isbn);
    std::optional<double> todaysOffer(const QString &isbn);
    void showLookup(const SaleLine &sale, double salePrice, std::optional<double> offer);
    void printReceiptLine();

    std::shared_ptr<ShopSession> session_;
    RecordSource *titles_ = nullptr; // Adodc1: the title looked up
    RecordSource *offers_ = nullptr; // Adodc3: the title's offer
    QLineEdit *isbnEdit_ = nullptr;
    QLineEdit *quantityEdit_ = nullptr;
    QPushButton *listButton_ = nullptr;
    QPushButton *okButton_ = nullptr;
    QPushButton *nextButton_ = nullptr;
    std::array<QLabel *, 5> display_{}; // ISBN, title, price, quantity, subtotal
    QLabel *onSalePrice_ = nullptr;
    QLabel *totalLabel_ = nullptr;
    std::array<QLabel *, 4> listCaptions_{};
    ReceiptList *receipt_ = nullptr;

    std::optional<SaleLine> lookedUp_; // what OK books; empty after ClearDisplay
    double saleTotal_ = 0;             // always a whole number
    bool onSaleFlag_ = false;
    std::vector<bool> lineOnOffer_; // per line of the list: sold at an offer price
};
