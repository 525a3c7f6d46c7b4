// The counter while the shop's server cannot be reached: for a shop on a server whose till keeps
// its own file (ShopContext::tillCopy), lookups come from the till's copy of the catalogue and
// each receipt is kept in the till's outbox under its own number, before it is printed. A look
// every few seconds sends what waits once the server answers again, and refreshes the copy
// every two minutes (by the shop's clock) while it does. The status line says how many
// receipts wait and when the server last answered.
#pragma once

#include "counterstart.h"
#include "dataerror.h"
#include "receiptrecord.h"
#include "shopcontext.h"
#include "tillcopy.h"

#include <QObject>
#include <memory>
#include <optional>

class QLabel;
class ShopSession;
class QWidget;

class CounterOffline : public QObject {
    Q_OBJECT
public:
    CounterOffline(QWidget *screen, const ShopContext &context);
    ~CounterOffline() override;

    // Whether this counter can sell without the server at all.
    bool available() const { return copy_ != nullptr; }
    bool isOffline() const { return offline_; }
    // Whether the failure means the server is gone and the counter goes on without it; the
    // counter is then offline until the server answers again.
    bool takesOver(const DataError &error);
    // Runs `online`, or `offline` in its place while the server is away, also when `online`
    // finds it gone (takesOver); any other failure goes on.
    template <typename Online, typename Offline> auto onlineOr(Online online, Offline offline) {
        if (!offline_) {
            try {
                return online();
            } catch (const DataError &error) {
                if (!takesOver(error))
                    throw;
            }
        }
        return offline();
    }
    // The screen could not reach the server as it opened: true when the counter opens from
    // what the till kept (startedFrom), offline; false when the failure is not the server gone.
    // Throws DataError, saying the counter needs the server once to start, when the till has
    // not kept what it needs.
    bool startsOffline(const DataError &error);
    // What the counter opened from when the server could not be reached; none when it opened
    // online.
    const std::optional<CounterStart> &startedFrom() const { return start_; }
    // Keeps what the counter needs to open, read from the shop now (a session opened or
    // closed); a failure only leaves the last one kept.
    void keepStart(ShopSession &shop);
    // Keeps the receipt in the till's outbox; what the customer's receipt shows of it.
    StoredReceipt keep(const ReceiptRecord &record, const QString &prefix);
    // A receipt stored on the server: kept among the till's receipts of its session, so that
    // it can be refunded while the server is away. A failure only leaves it out.
    void remember(const ReceiptRecord &record, const StoredReceipt &stored);
    // True, and the operator told so, when the counter is offline: `work` ("A void") needs
    // the server.
    bool refuses(const QString &work);
    // What the counter kept when it last reached the server (reasons, methods, session); none
    // before it kept anything or when the till's file cannot be read.
    std::optional<CounterStart> kept();
    // The receipt printed as `readable` among the till's receipts of its session. Throws
    // DataError, saying that a refund of it needs the server, when the till does not hold it.
    RefundableReceipt receiptToRefund(const QString &readable);
    // Keeps a refund in the till's outbox, in the session it was given in; what the operator
    // is told then.
    QString keepRefund(const RefundRecord &refund);
    // A refund stored on the server: the copies it took back of a receipt the till holds.
    void noteRefund(const RefundRecord &refund);
    int refundsWaiting();
    // Keeps cash put in or taken out in the till's outbox; what the operator is told then.
    QString keepCash(const CashMovementRecord &movement);
    // Receipts made offline and not yet on the server.
    int waiting();
    // Cash movements made offline and not yet on the server.
    int cashWaiting();
    // Sends what waits when the server answers (tried once a minute while it does not), and
    // refreshes the copy when due.
    void look();
    QLabel *status() const { return status_; }

signals:
    // The server answers again after the counter went on without it.
    void reconnected();

private:
    // The session the till is in, as last kept; 0 when none is known.
    qint64 keptSession();
    void show();

    ShopContext context_;
    std::shared_ptr<TillCopy> copy_;
    QLabel *status_;
    bool offline_ = false;
    std::optional<QDateTime> lastTry_; // of the server, by the shop's clock
    std::optional<CounterStart> start_;
};
