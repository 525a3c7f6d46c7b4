// The counter's offline selling: the till's copy, its outbox and the status line.
#include "counteroffline.h"

#include "clock.h"
#include "connection.h"
#include "copyrefresh.h"
#include "counterbox.h"
#include "errorpolicy.h"
#include "messageboxes.h"
#include "outboxsender.h"
#include "screenheading.h"
#include "shopsession.h"

#include <QColor>
#include <QLabel>
#include <QPalette>
#include <QTimer>
#include <QWidget>

namespace {
// How often the counter looks whether work is due; what is due is decided by the shop's clock.
constexpr int lookEveryMs = 5000;
constexpr int retrySeconds = 60;
} // namespace

CounterOffline::CounterOffline(QWidget *screen, const ShopContext &context)
    : QObject(screen), context_(context), copy_(context.tillCopy),
      status_(named<QLabel>("lblOffline", screen)) {
    status_->setVisible(false);
    QFont font = status_->font();
    font.setBold(true);
    status_->setFont(font);
    // An amber band under the session's strip that the operator cannot miss.
    counterbox::colour(status_, QPalette::Window, QColor(0xFF, 0xD8, 0x9C));
    status_->setContentsMargins(6, 4, 6, 4);
    if (!available())
        return;
    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &CounterOffline::look);
    timer->start(lookEveryMs);
    show();
}

bool CounterOffline::takesOver(const DataError &error) {
    if (!available() || error.kind() != DataError::Kind::ConnectionLost)
        return false;
    offline_ = true;
    lastTry_ = context_.clock->now();
    show();
    return true;
}

bool CounterOffline::startsOffline(const DataError &error) {
    if (!available() || error.kind() != DataError::Kind::ConnectionLost)
        return false;
    const std::optional<CounterStart> kept = counterstart::kept(*copy_);
    if (!kept || !kept->sellsOffline())
        throw DataError(
            DataError::Kind::ConnectionLost,
            QStringLiteral("%1 The counter needs the shop's server once to start: this till has "
                           "not yet kept what it needs to sell without it (the shop's payment "
                           "methods and the till's open session). Open Selling Book again once "
                           "the server answers.")
                .arg(error.sentence()),
            error.details());
    start_ = kept;
    takesOver(error);
    return true;
}

void CounterOffline::keepStart(ShopSession &shop) {
    if (available() && !offline_)
        policy::skipOnError(
            [&] { counterstart::keep(*copy_, counterstart::read(shop.connection())); });
}

std::optional<CounterStart> CounterOffline::kept() {
    std::optional<CounterStart> start;
    if (available())
        policy::skipOnError([&] { start = counterstart::kept(*copy_); });
    return start;
}

qint64 CounterOffline::keptSession() {
    const std::optional<CounterStart> start = kept();
    return start && start->session ? start->session->id : 0;
}

StoredReceipt CounterOffline::keep(const ReceiptRecord &record, const QString &prefix) {
    const qint64 number = copy_->queueReceipt(record, keptSession(), prefix);
    show();
    // The till's own numbers, apart from the shop's ("A17"), on the customer's receipt.
    return {number, QStringLiteral("%1-%2").arg(prefix).arg(number), record.paidAt.isValid()};
}

void CounterOffline::remember(const ReceiptRecord &record, const StoredReceipt &stored) {
    if (available() && !stored.readable.isEmpty())
        policy::skipOnError([&] { copy_->keepReceipt(record, stored.readable, keptSession()); });
}

RefundableReceipt CounterOffline::receiptToRefund(const QString &readable) {
    if (std::optional<RefundableReceipt> receipt = copy_->receiptToRefund(readable)) {
        if (!receipt->paid)
            throw DataError(QStringLiteral("The receipt %1 is not paid, so no money was taken "
                                           "to give back: take payment for it first.")
                                .arg(receipt->readable));
        return *receipt;
    }
    throw DataError(
        QStringLiteral("The receipt %1 is not among this till's receipts of its open session, "
                       "which are all it can refund while the shop's server cannot be reached. "
                       "A refund of it needs the shop's server: try again once the line "
                       "\"Offline: ...\" has gone.")
            .arg(readable.trimmed().toUpper()));
}

QString CounterOffline::keepRefund(const RefundRecord &refund) {
    copy_->queueRefund(refund, keptSession());
    show();
    return QStringLiteral("The refund is recorded on this till and goes to the shop's server "
                          "with the receipts once it answers.");
}

void CounterOffline::noteRefund(const RefundRecord &refund) {
    if (available())
        policy::skipOnError([&] { copy_->noteRefund(refund); });
}

int CounterOffline::refundsWaiting() {
    return available() ? copy_->refundsWaiting() : 0;
}

bool CounterOffline::refuses(const QString &work) {
    if (!offline_)
        return false;
    context_.messages->inform(
        QStringLiteral("%1 needs the shop's server, which cannot be reached now. Selling goes "
                       "on; try again once the line \"Offline: ...\" has gone.")
            .arg(work));
    return true;
}

QString CounterOffline::keepCash(const CashMovementRecord &movement) {
    copy_->queueCash(movement);
    show();
    return QStringLiteral("The cash is recorded on this till and goes to the shop's server with "
                          "the receipts once it answers.");
}

int CounterOffline::waiting() {
    return available() ? copy_->waiting() : 0;
}

int CounterOffline::cashWaiting() {
    return available() ? copy_->cashWaiting() : 0;
}

void CounterOffline::look() {
    if (!available())
        return;
    const QDateTime at = context_.clock->now();
    // A server cut off by the network answers a try only after its time-out, during which the
    // counter waits: offline, the server is tried once a minute.
    if (offline_ && lastTry_ && *lastTry_ <= at && lastTry_->secsTo(at) < retrySeconds)
        return;
    lastTry_ = at;
    const bool wasOffline = offline_;
    const auto anyWaiting = [this] {
        return copy_->waiting() > 0 || copy_->refundsWaiting() > 0 || copy_->cashWaiting() > 0;
    };
    try {
        if (anyWaiting()) {
            ShopSession sending(context_.shop);
            const offline::SendReport report = offline::sendOutbox(*copy_, sending, at);
            offline_ = report.interrupted;
            for (const auto &[number, reason] : report.refused)
                context_.messages->inform(
                    QStringLiteral("The shop refused receipt %1, made while the server was away: "
                                   "%2. It is set aside and listed for the back office under "
                                   "Sale > Refused Receipts; the other receipts went on.")
                        .arg(number)
                        .arg(reason));
            for (const auto &[refused, done] : {std::pair{&report.refusedRefunds, "given"},
                                                std::pair{&report.refusedCash, "recorded"}})
                for (const auto &[what, reason] : *refused)
                    context_.messages->inform(
                        QStringLiteral("The shop refused %1, %2 while the server was away: %3. It "
                                       "is set aside and listed for the back office under Sale > "
                                       "Refused Receipts; the rest went on.")
                            .arg(what, QLatin1String(done), reason));
        }
        // Online with nothing waiting, the server is read only when the copy is due.
        if (!anyWaiting() && (offline_ || offline::refreshDue(*copy_, at))) {
            Connection shop = context_.shop.connect();
            if (offline::refreshDue(*copy_, at))
                offline::refreshCopy(*copy_, shop, at);
            copy_->setLastContact(at);
            offline_ = false;
        }
    } catch (const DataError &error) {
        if (error.kind() == DataError::Kind::ConnectionLost)
            offline_ = true;
    }
    show();
    if (wasOffline && !offline_)
        emit reconnected();
}

CounterOffline::~CounterOffline() {
    // Another counter of this till says it again at its next look.
    if (available() && context_.showOffline)
        context_.showOffline(QString());
}

void CounterOffline::show() {
    const int count = copy_->waiting();
    const int cash = copy_->cashWaiting();
    const int refunds = copy_->refundsWaiting();
    status_->setVisible(offline_ || count > 0 || cash > 0 || refunds > 0);
    const std::optional<QDateTime> contact = copy_->lastContact();
    status_->setText(
        QStringLiteral("%1: %2 receipt%3 waiting%4%5. Last contact with the server: %6")
            .arg(offline_ ? QStringLiteral("Offline") : QStringLiteral("Sending"))
            .arg(count)
            .arg(count == 1 ? QString() : QStringLiteral("s"))
            .arg(refunds == 0   ? QString()
                 : refunds == 1 ? QStringLiteral(", and 1 refund")
                                : QStringLiteral(", and %1 refunds").arg(refunds))
            .arg(cash == 0   ? QString()
                 : cash == 1 ? QStringLiteral(", and 1 cash movement")
                             : QStringLiteral(", and %1 cash movements").arg(cash))
            .arg(contact ? contact->toString(QStringLiteral("yyyy/M/d HH:mm"))
                         : QStringLiteral("never")));
    if (context_.showOffline)
        context_.showOffline(status_->isHidden() ? QString() : status_->text());
}
