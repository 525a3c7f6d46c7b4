// The counter screen: look a title up by ISBN, sell it, and build the customer's list and total.
#pragma once

#include "receipt.h"
#include "shopoperations.h"
#include "shopscreen.h"

#include <array>
#include <memory>
#include <optional>
#include <vector>

class CounterOffline;
class CounterPayments;
class CounterReturns;
class CounterSession;
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
    // F5: a customer order collected. Its copies are rung up at the order's price on the
    // customer's receipt as a sale, the order is marked collected, and its deposit pays part
    // of the receipt as the method it was taken by. Without a number, asks for it.
    void collectOrder(std::optional<qint64> orderNo = std::nullopt);
    // Enter in the ISBN box, as a scanner sends it after the digits: books the title on display
    // when the box still holds what was looked up (and the quantity was not changed since),
    // else looks the box's ISBN up.
    void isbnEntered();
    // "Do you have…?": the catalogue searched by words; the title chosen is looked up.
    void findTitle();
    // "Next Customer": empties the list and the total; a pending lookup stays.
    void nextCustomer();
    void clearDisplay();

    Money saleTotal() const { return saleTotal_; }
    bool onSaleFlag() const { return onSaleFlag_; }
    bool hasLookup() const { return lookedUp_.has_value(); }
    // What the customer's receipt prints: the list's lines, the total, the time now, and with
    // payments at the counter its number, till and payments.
    Receipt customerReceipt() const;
    CounterPayments *payments() const { return payments_; }
    CounterSession *tillSession() const { return sessions_; }
    CounterReturns *returns() const { return returns_; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void openSources();
    void buildControls();
    void arrangeControls();
    void alignListCaptions();
    // True when a title was found and shown; `replaced` is the title the lookup replaces.
    bool lookUpTitle(std::optional<qint64> replaced);
    // The title from the shop's catalogue, or from the till's copy while the server is away:
    // the sale without its price, and the catalogue's price. False when none was found (the
    // operator was told).
    bool titleFor(SaleLine &sale, std::optional<Money> &salePrice);
    std::optional<Money> todaysOffer(const QString &isbn);
    void showLookup(const SaleLine &sale, Money salePrice, std::optional<Money> offer);
    // A line of the customer's list, as the sale on display or a receipt taken up shows it.
    void printReceiptLine(const ReceiptLine &line);
    // Names the open customer orders of the title on display (F5 collects one); empty when
    // there are none.
    void showOrdersOf(qint64 bookNo);
    // Books the sale on display and prints it on the list; false when it was not booked (the
    // operator was told why).
    bool bookLookedUp();
    // Ready for the next scan: the box's text selected, so that the scan replaces it.
    void readyForScan();
    // A receipt taken up again from the till's unpaid ones: its lines on the list.
    void showReceiptLines(const std::vector<ReceiptLine> &lines, Money total);
    // A negative quantity: the copies are brought back, so the refund by ISBN opens.
    void refundTyped(qint64 copies);
    // The box the screen's focus goes to: the float's while no session is open.
    void focusWhereNeeded();

    std::shared_ptr<ShopSession> session_;
    RecordSource *titles_ = nullptr; // Adodc1: the title looked up
    RecordSource *offers_ = nullptr; // Adodc3: the title's offer
    QLineEdit *isbnEdit_ = nullptr;
    QLineEdit *quantityEdit_ = nullptr;
    QPushButton *listButton_ = nullptr;
    QPushButton *okButton_ = nullptr;
    QPushButton *nextButton_ = nullptr;
    QPushButton *findButton_ = nullptr;
    std::array<QLabel *, 5> display_{}; // ISBN, title, price, quantity, subtotal
    QLabel *onSalePrice_ = nullptr;
    QLabel *totalLabel_ = nullptr;
    QLabel *ordersHint_ = nullptr;  // customer orders of the title on display
    std::optional<bool> hasOrders_; // whether the shop keeps customer orders, once asked
    std::array<QLabel *, 4> listCaptions_{};
    ReceiptList *receipt_ = nullptr;
    CounterPayments *payments_ = nullptr; // receipts and payment, when the shop takes them
    CounterSession *sessions_ = nullptr;  // the till's session, when the shop takes payment
    CounterReturns *returns_ = nullptr;   // refunds and voids
    CounterOffline *offline_ = nullptr;   // selling while the shop's server is away

    std::optional<SaleLine> lookedUp_; // what OK books; empty after ClearDisplay
    Money saleTotal_;                  // exact: the sum of the list's subtotals
    bool onSaleFlag_ = false;
    // The quantity box still holds the quantity the shown lookup took, not typed since: it
    // goes back to 1 for another title rather than selling it copies meant for this one.
    bool quantityTaken_ = false;
    QString lookedUpText_;          // the ISBN box's text at the lookup on display
    std::vector<ReceiptLine> sold_; // the list's lines as the receipt prints them
};
