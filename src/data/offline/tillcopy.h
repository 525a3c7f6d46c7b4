// A till's own file while it sells for a shop on a server: a plain SQLite file in the till's
// data folder (0600, made here, named after the shop's server so that two shops never share
// one) with the till's copy of what it sells, its outbox of receipts made while the server
// could not be reached, in the order made, the receipts the shop refused for good, the last
// contact with the server and the till's own next receipt number. Never the shop's tables.
// Each call throws DataError.
#pragma once

#include "connection.h"
#include "money.h"
#include "receiptrecord.h"
#include "refunds.h"
#include "tillrecords.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

// A title as the copy holds it; the stock less the copies in receipts still waiting.
struct CopiedTitle {
    qint64 bookNo = 0;
    QString isbn;
    QString title;
    QString author;
    std::optional<Money> salePrice;
    qint64 stock = 0;
};

// The first offer of an ISBN in the shop's stored order, as the counter takes it.
struct CopiedOffer {
    QString isbn;
    Money price;
    QDate begin;
    QDate end;
};

// A receipt waiting to be sent, oldest first.
struct OutboxItem {
    qint64 item = 0;   // the order in which it was made
    QString id;        // the receipt's identifier
    qint64 number = 0; // the till's own number of it, printed for the customer
    QByteArray made;   // the receipt as the till made it (receiptcodec)
};

// A refund given while the server was away, waiting to be sent, in the till's session.
struct WaitingRefund {
    RefundRecord record;
    qint64 session = 0;
};

class TillCopy {
public:
    // The till's file for the shop named `shopName` (its server), in `dataFolder`.
    static QString fileFor(const QString &dataFolder, const QString &shopName);
    // Opens the till's file, making it (and its folder) when missing.
    explicit TillCopy(const QString &path);

    const QString &path() const { return path_; }

    // The catalogue: replaced whole by each refresh (copyrefresh.h) in one transaction.
    void replaceCatalogue(const std::vector<CopiedTitle> &titles,
                          const std::vector<CopiedOffer> &offers, const QDateTime &at);
    // The first title with this ISBN, its stock less the copies waiting in the outbox.
    std::optional<CopiedTitle> findIsbn(const QString &isbn);
    // The ISBN's offer price on `day`, if its first offer holds then.
    std::optional<Money> offerOn(const QString &isbn, const QDate &day);
    int titleCount() { return rows(QStringLiteral("copytitles")); }
    std::optional<QDateTime> lastRefresh() { return moment(kLastRefresh); }

    // When the till last reached the server.
    std::optional<QDateTime> lastContact() { return moment(kLastContact); }
    void setLastContact(const QDateTime &at);

    // What the counter needs to open, as counterstart.h writes it; none before it was kept.
    std::optional<QString> counterStart() { return state(kCounterStart); }
    void keepCounterStart(const QString &text) { setState(kCounterStart, text); }

    // Keeps the receipt in the outbox under the till's next number of its own, in one
    // transaction, before it is printed, and among the till's receipts of `session` as
    // "<prefix>-<number>". The same receipt again keeps its number and its place and takes the
    // parts made since (a payment added).
    qint64 queueReceipt(const ReceiptRecord &receipt, qint64 session = 0,
                        const QString &prefix = QString());
    int waiting() { return rows(QStringLiteral("outbox")); }
    std::vector<OutboxItem> oldest(int limit);
    // The receipts are on the server: they leave the outbox, in one transaction, and the
    // server's answer is the last contact.
    void sent(const std::vector<OutboxItem> &items, const QDateTime &at);
    // The receipt was refused for good: it leaves the outbox for the set-aside list.
    void setAside(const OutboxItem &item, const QString &reason, const QDateTime &at);
    int setAsideCount() { return rows(QStringLiteral("setaside")); }

    // Cash put in or taken out while the server was away, in the order made (tillcopycash.cpp):
    // kept before the operator is told it is recorded, sent after the receipts.
    void queueCash(const CashMovementRecord &movement);
    int cashWaiting() { return rows(QStringLiteral("outboxcash")); }
    std::vector<CashMovementRecord> oldestCash(int limit);
    // The movement is on the server: it leaves the outbox, the answer is the last contact.
    void cashSent(const QString &id, const QDateTime &at);
    // The shop refused it for good: it leaves the outbox for the till's set-aside list.
    void setAsideCash(const CashMovementRecord &movement, const QString &reason,
                      const QDateTime &at);
    int setAsideCashCount() { return rows(QStringLiteral("setasidecash")); }
    // A cash movement as text (for the shop's list of what it refused).
    static QString cashText(const CashMovementRecord &movement);

    // The till's receipts of its open session (tillcopyrefunds.cpp), so that they can be
    // refunded while the server is away: each receipt made here, online ("A17") or offline
    // ("A-12"), is kept until its session is no longer the till's open one (counterstart.h)
    // and it has been sent; the copies refunded of them here are kept as long.
    void keepReceipt(const ReceiptRecord &receipt, const QString &readable, qint64 session);
    // The receipt printed as `readable` (any case, blanks around it ignored), what is left of
    // each line after this till's refunds of it; none when the till does not hold it.
    std::optional<RefundableReceipt> receiptToRefund(const QString &readable);
    // The session the till made a receipt in; 0 when it does not know.
    qint64 sessionOf(const QString &receipt);
    // The receipt's number as printed; empty when the till does not hold it.
    QString readableOf(const QString &receipt);
    void forgetReceiptsOutside(qint64 session);
    // A refund stored on the server while online: the copies it took back of a kept receipt.
    void noteRefund(const RefundRecord &refund);
    // A refund given while the server is away, kept in the outbox (in the order given, sent
    // after the receipts) before the money goes out.
    void queueRefund(const RefundRecord &refund, qint64 session);
    int refundsWaiting() { return rows(QStringLiteral("outboxrefunds")); }
    std::vector<WaitingRefund> oldestRefunds(int limit);
    // The refund is on the server: it leaves the outbox, the answer is the last contact.
    void refundSent(const QString &id, const QDateTime &at);
    // The shop refused it for good: it leaves the outbox for the till's set-aside list.
    void setAsideRefund(const WaitingRefund &refund, const QString &reason, const QDateTime &at);
    int setAsideRefundCount() { return rows(QStringLiteral("setasiderefunds")); }
    // A refund as the till keeps it, as text (for the shop's list of what it refused).
    static QString refundText(const RefundRecord &refund);

private:
    static inline const QString kCounterStart = QStringLiteral("CounterStart");
    static inline const QString kLastContact = QStringLiteral("LastContact");
    static inline const QString kLastRefresh = QStringLiteral("LastRefresh");
    static inline const QString kNextNumber = QStringLiteral("NextNumber");

    std::optional<QString> state(const QString &key);
    void setState(const QString &key, const QString &value);
    // A moment kept in the till's state; none before it was kept.
    std::optional<QDateTime> moment(const QString &key);
    // How many rows one of the till's own tables holds.
    int rows(const QString &table);

    QString path_;
    Connection connection_;
};
