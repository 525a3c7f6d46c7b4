// Refunds and voids at the counter.
#include "counterreturns.h"

#include "clock.h"
#include "counterbox.h"
#include "counteroffline.h"
#include "counterpayments.h"
#include "countersession.h"
#include "errorpolicy.h"
#include "messageboxes.h"
#include "refunddialog.h"
#include "screenheading.h"
#include "shopsession.h"
#include "shopversionneeded.h"
#include "tillsessions.h"
#include "voiddialog.h"
#include "voids.h"

#include <QPushButton>
#include <QUuid>

namespace {
const QString kByIsbnNeedsServer = QStringLiteral(
    "A refund without a receipt needs the shop's server, which cannot be reached now: while "
    "it is away only this till's receipts of its session can be refunded. Try again once the "
    "line \"Offline: ...\" has gone.");
} // namespace

CounterReturns::CounterReturns(QWidget *screen, const ShopContext &context,
                               std::shared_ptr<ShopSession> session, CounterPayments *payments,
                               CounterSession *sessions)
    : QObject(screen), screen_(screen), context_(context), session_(std::move(session)),
      payments_(payments), sessions_(sessions),
      refund_(named<QPushButton>("cmdRefund", QStringLiteral("&Refund (F4)"), screen)),
      void_(named<QPushButton>("cmdVoid", QStringLiteral("&Void (F6)"), screen)) {
    refund_->setToolTip(QStringLiteral("Give money back for copies brought back, with or "
                                       "without the receipt"));
    void_->setToolTip(QStringLiteral("Take back a line of this receipt, or the whole receipt, "
                                     "before it is paid"));
    void_->setVisible(payments_->enabled());
    counterbox::onKey(screen, Qt::Key_F4, this, [this] { refund(); });
    counterbox::onKey(screen, Qt::Key_F6, this, [this] { voidOnReceipt(); });
    connect(refund_, &QPushButton::clicked, this, [this] { refund(); });
    connect(void_, &QPushButton::clicked, this, [this] { voidOnReceipt(); });
}

bool CounterReturns::shopHasThem() {
    if (sessions_->offline()->refuses(QStringLiteral("A refund or a void")))
        return false;
    bool has = false;
    policy::reportOnError(*context_.messages, [this, &has] {
        has = hasShopVersion(context_, session_->connection(), shop::sessionsVersion);
    });
    return has;
}

template <typename Dialog> Dialog *CounterReturns::opened(Dialog *dialog) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, &CounterReturns::done);
    dialog->open();
    return dialog;
}

bool CounterReturns::mayRefund() {
    if (!shopHasThem())
        return false;
    return !sessions_->enabled() ||
           sessions_->openNow(QStringLiteral(
               "No session is open at this till, so no money can be given back from it. Count the "
               "cash in the drawer, type it in the Float box and press Enter: that opens the "
               "session."));
}

RefundDialog *CounterReturns::refund() {
    if (sessions_->offline()->isOffline())
        return refundOffline();
    if (!mayRefund())
        return nullptr;
    std::vector<RefundReason> reasons;
    std::vector<PaymentMethod> methods;
    const bool read = policy::reportOnError(*context_.messages, [&] {
        reasons = shop::refundReasons(session_->connection());
        if (payments_->enabled())
            methods = shop::paymentMethods(session_->connection());
    });
    if (!read)
        return nullptr;
    return opened(new RefundDialog(
        session_, reasons, methods, *context_.messages, *context_.clock,
        [this](const RefundRecord &record) { return storeRefund(record); }, screen_));
}

std::optional<Money> CounterReturns::storeRefund(const RefundRecord &record) {
    CounterOffline *offline = sessions_->offline();
    std::optional<Money> given;
    policy::reportOnError(*context_.messages, [&] {
        if (offline->isOffline() && record.receipt.isEmpty())
            throw DataError(kByIsbnNeedsServer);
        offline->onlineOr(
            [&] {
                given = shop::storeRefund(*session_, record).amount;
                offline->noteRefund(record);
            },
            [&] {
                const QString told = offline->keepRefund(record);
                Money sum;
                for (const RefundLineRecord &line : record.lines)
                    sum += line.price.times(line.quantity);
                given = sum;
                context_.messages->inform(told);
            });
    });
    return given;
}

RefundDialog *CounterReturns::refundOffline() {
    CounterOffline *offline = sessions_->offline();
    const std::optional<CounterStart> kept = offline->kept();
    // Money goes out of the session the till is in, by a method it kept; a till that kept no
    // reasons (or no session) cannot give a refund the shop would take.
    if (!kept || !kept->session || kept->refundReasons.empty() ||
        (payments_->enabled() && kept->methods.empty())) {
        offline->refuses(QStringLiteral("A refund"));
        return nullptr;
    }
    auto *dialog = new RefundDialog(
        session_, kept->refundReasons,
        payments_->enabled() ? kept->methods : std::vector<PaymentMethod>{}, *context_.messages,
        *context_.clock, [this](const RefundRecord &record) { return storeRefund(record); },
        screen_);
    dialog->setFinder(
        [offline](const QString &readable) { return offline->receiptToRefund(readable); });
    dialog->setByReceiptOnly(kByIsbnNeedsServer);
    return opened(dialog);
}

RefundDialog *CounterReturns::refundByIsbn(const QString &isbn, qint64 copies) {
    if (sessions_->offline()->isOffline()) {
        context_.messages->inform(kByIsbnNeedsServer);
        return nullptr;
    }
    RefundDialog *dialog = refund();
    if (dialog != nullptr)
        dialog->startByIsbn(isbn, copies);
    return dialog;
}

VoidDialog *CounterReturns::voidOnReceipt() {
    // A receipt made offline is settled against its lines when the server stores it, which a
    // line taken off it meanwhile would not match: offline, the receipt is paid as it stands
    // and the line given back with a refund.
    if (sessions_->offline()->isOffline()) {
        context_.messages->inform(QStringLiteral(
            "A void needs the shop's server, which cannot be reached now: a receipt made "
            "meanwhile is checked against its lines when the server stores it. Take payment for "
            "the receipt as it stands, then give the line back with a refund (F4), which works "
            "offline for this till's receipts."));
        return nullptr;
    }
    if (!shopHasThem())
        return nullptr;
    if (!payments_->enabled()) {
        context_.messages->inform(QStringLiteral(
            "This counter makes no receipts (it does not take payment), so there is nothing to "
            "void: give a title sold by mistake back with a refund (F4)."));
        return nullptr;
    }
    const CounterReceipt &receipt = payments_->receipt();
    if (receipt.isEmpty() || receipt.isVoided()) {
        context_.messages->inform(QStringLiteral("The receipt has no lines to void."));
        return nullptr;
    }
    if (receipt.isPaid()) {
        context_.messages->inform(QStringLiteral("The receipt %1 is paid: a line of it is given "
                                                 "back with a refund (F4), not voided.")
                                      .arg(receipt.readable()));
        return nullptr;
    }
    const QString receiptId = receipt.record().id;
    const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    return opened(new VoidDialog(
        receipt.readable(), receipt.record().lines, receipt.voided(), *context_.messages,
        [this, receiptId, id](int line, const QString &reason) {
            const bool voided = policy::reportOnError(*context_.messages, [&] {
                shop::storeVoid(*session_, {id, receiptId, line, reason, context_.clock->now()});
            });
            payments_->takeVoids(); // also after a refusal: another window may have voided
            return voided;
        },
        screen_));
}
