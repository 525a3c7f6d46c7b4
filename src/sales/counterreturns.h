// The selling screen's refunds (F4) and voids (F6). A refund gives money back for copies
// brought back, by receipt or by ISBN, with a reason; a negative quantity typed at the counter
// opens it by ISBN rather than selling minus copies. A void takes back a line of the customer's
// receipt not yet paid, or the whole receipt. With payments off a refund moves stock and sale
// rows without money, and there is no receipt to void.
#pragma once

#include "money.h"
#include "shopcontext.h"
#include "tillrecords.h"

#include <QObject>
#include <memory>
#include <optional>

class CounterPayments;
class CounterSession;
class QPushButton;
class RefundDialog;
class ShopSession;
class VoidDialog;

class CounterReturns : public QObject {
    Q_OBJECT
public:
    CounterReturns(QWidget *screen, const ShopContext &context,
                   std::shared_ptr<ShopSession> session, CounterPayments *payments,
                   CounterSession *sessions);

    QPushButton *refundButton() const { return refund_; }
    QPushButton *voidButton() const { return void_; }

    // Opens the refund window; null when a refund cannot be given now (the operator was told
    // why).
    RefundDialog *refund();
    // The refund of `copies` of the title of `isbn`, without a receipt.
    RefundDialog *refundByIsbn(const QString &isbn, qint64 copies);
    // Opens the void window for the customer's receipt; null when there is nothing to void.
    VoidDialog *voidOnReceipt();

signals:
    // A refund or void window closed: the counter is ready for the next scan.
    void done();

private:
    // Whether the shop is of the version that has refunds and voids; else the operator is told
    // to upgrade it first.
    bool shopHasThem();
    // Whether the shop has refunds, and with payments on a session open to give money from.
    bool mayRefund();
    // The refund window while the server is away: of this till's receipts of its session
    // only, stored in the till's outbox.
    RefundDialog *refundOffline();
    // Stores the refund in the shop, or in the till's outbox when the server is gone (also
    // when the store was cut: the outbox stores it once by its identifier).
    std::optional<Money> storeRefund(const RefundRecord &record);
    // Shows the window over the counter, to be deleted when it closes.
    template <typename Dialog> Dialog *opened(Dialog *dialog);

    QWidget *screen_;
    ShopContext context_;
    std::shared_ptr<ShopSession> session_;
    CounterPayments *payments_;
    CounterSession *sessions_;
    QPushButton *refund_;
    QPushButton *void_;
};
