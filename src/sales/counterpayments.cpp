// The counter's receipts and payments, beside the selling screen.
#include "counterpayments.h"

#include "clock.h"
#include "counterbox.h"
#include "counteroffline.h"
#include "dataerror.h"
#include "errorpolicy.h"
#include "messageboxes.h"
#include "paymentdialog.h"
#include "screenheading.h"
#include "shopsession.h"
#include "shopversionneeded.h"
#include "tender.h"
#include "unpaiddialog.h"
#include "voids.h"

#include <QLabel>
#include <QPushButton>

CounterPayments::CounterPayments(QWidget *screen, const ShopContext &context,
                                 std::shared_ptr<ShopSession> session, CounterOffline *offline)
    : QObject(screen), screen_(screen), context_(context), session_(std::move(session)),
      offline_(offline) {
    const std::optional<CounterStart> &kept = offline_->startedFrom();
    settings_ = kept ? kept->settings : shop::paymentSettings(session_->connection());
    pay_ = named<QPushButton>("cmdPay", QStringLiteral("&Pay (F12)"), screen);
    unpaid_ = named<QPushButton>("cmdUnpaid", QStringLiteral("&Unpaid Receipts (F11)"), screen);
    number_ = named<QLabel>("lblReceiptNumber", screen);
    for (QWidget *widget : std::initializer_list<QWidget *>{pay_, unpaid_, number_})
        widget->setVisible(enabled());
    // The keys stay bound on a shop without payments, so that on a shop too old to take
    // payment they say it must be upgraded first.
    counterbox::onKey(screen, Qt::Key_F12, this, [this] { takePayment(); });
    counterbox::onKey(screen, Qt::Key_F11, this, [this] { chooseUnpaid(); });
    if (!enabled())
        return;
    methods_ = kept ? kept->methods : shop::paymentMethods(session_->connection());
    till_ = kept ? kept->till : shop::thisTill(session_->connection());
    connect(pay_, &QPushButton::clicked, this, [this] { takePayment(); });
    connect(unpaid_, &QPushButton::clicked, this, &CounterPayments::chooseUnpaid);
    showNumber();
}

const Till &CounterPayments::till() {
    if (!till_)
        till_ = shop::thisTill(session_->connection());
    if (!till_)
        throw DataError(DataError::Kind::Refused,
                        QStringLiteral("This login is registered at no till, so it cannot take "
                                       "receipts. The back office registers it under "
                                       "DatabaseMaintain > Tills."));
    return *till_;
}

void CounterPayments::book(const SaleLine &sale, const QDate &day, const QTime &time) {
    till();
    if (receipt_.isDone())
        startNext();
    storeOrReadBack(receipt_.withLine(sale, day, time));
}

void CounterPayments::storeOrReadBack(const ReceiptRecord &record) {
    const auto online = [&] {
        const StoredReceipt stored = shop::storeReceipt(*session_, record);
        offline_->remember(record, stored);
        return stored;
    };
    // While the server is away the receipt is kept on the till; cut off while storing it, the
    // shop may hold it or not: the till's outbox sends it again, stored once.
    const auto kept = [&] { return offline_->keep(record, till().prefix); };
    try {
        receipt_.stored(record, offline_->onlineOr(online, kept));
    } catch (const DataError &) {
        if (!offline_->isOffline()) // the server's failure, not the till's file's
            readBack();
        throw;
    }
    showNumber();
}

void CounterPayments::readBack() {
    try {
        auto [record, stored] = shop::readReceipt(session_->connection(), receipt_.record().id);
        if (record.lines.size() > receipt_.record().lines.size() ||
            record.payments.size() > receipt_.record().payments.size())
            takeUp(std::move(record), stored);
    } catch (const DataError &) {
        // Not stored at all, or the shop cannot be read now: the till's copy is all there is.
    }
}

bool CounterPayments::usable() {
    if (enabled())
        return true;
    // A shop of the receipts' version with payments off sells as it always has: silence.
    policy::reportOnError(*context_.messages, [this] {
        hasShopVersion(context_, session_->connection(), shop::receiptsVersion);
    });
    return false;
}

bool CounterPayments::takePayment() {
    if (!usable())
        return false;
    if (receipt_.isEmpty()) {
        context_.messages->inform(QStringLiteral("The receipt has no lines yet: sell a title "
                                                 "first, then take payment."));
        return false;
    }
    if (!receipt_.isPaid()) {
        // The methods in use now: one the back office took out since is not offered.
        if (!offline_->isOffline())
            policy::skipOnError(
                [this] { methods_ = shop::paymentMethods(session_->connection()); });
        PaymentDialog dialog(
            receipt_, methods_, settings_.rounding, *context_.messages, *context_.clock,
            [this](const ReceiptRecord &record) {
                return policy::reportOnError(*context_.messages, [&] { storeOrReadBack(record); });
            },
            screen_);
        dialog.exec();
    }
    return receipt_.isPaid();
}

void CounterPayments::payByDeposit(qint64 method, Money amount) {
    const bool settles = amount >= receipt_.remaining();
    const QDateTime at = context_.clock->now();
    storeOrReadBack(
        receipt_.withPayment(method, {amount, amount, Money(), std::nullopt, settles}, at));
}

bool CounterPayments::mayStartNext() {
    if (!enabled() || receipt_.isEmpty() || receipt_.isDone())
        return true;
    const bool payNow = context_.messages->confirm(
        QStringLiteral("The receipt %1 is not paid (%2 to pay).\n\nOK takes payment now; Cancel "
                       "keeps it open on this till's list of unpaid receipts (Unpaid Receipts, "
                       "F11), from which it can be paid later.")
            .arg(receipt_.readable(), tender::shown(receipt_.remaining())));
    return payNow ? takePayment() : true;
}

void CounterPayments::startNext() {
    receipt_ = CounterReceipt();
    showNumber();
}

void CounterPayments::chooseUnpaid() {
    if (!usable() || offline_->refuses(QStringLiteral("The list of unpaid receipts")))
        return;
    policy::reportOnError(*context_.messages, [this] {
        const std::vector<UnpaidReceipt> unpaid =
            shop::unpaidReceipts(session_->connection(), till().id);
        if (unpaid.empty()) {
            context_.messages->inform(QStringLiteral("This till has no unpaid receipts."));
            return;
        }
        UnpaidDialog dialog(unpaid, screen_);
        if (dialog.exec() == QDialog::Accepted && !dialog.chosen().isEmpty())
            reopen(dialog.chosen());
    });
}

void CounterPayments::reopen(const QString &id) {
    auto [record, stored] = shop::readReceipt(session_->connection(), id);
    takeUp(std::move(record), stored);
}

void CounterPayments::takeUp(ReceiptRecord record, const StoredReceipt &stored) {
    receipt_ = CounterReceipt(std::move(record), stored);
    takeVoids();
}

void CounterPayments::takeVoids() {
    // A shop older than voids has none.
    policy::skipOnError([this] {
        receipt_.setVoided(shop::voidedLines(session_->connection(), receipt_.record().id));
    });
    showNumber();
    emit linesShown(receipt_.shownLines(), receipt_.total());
}

void CounterPayments::fill(Receipt &receipt) const {
    if (enabled())
        receipt_.fill(receipt, methods_, till_ ? till_->name : QString());
}

void CounterPayments::showNumber() {
    QString text;
    if (!receipt_.readable().isEmpty())
        text = QStringLiteral("Receipt %1%2")
                   .arg(receipt_.readable(), receipt_.isPaid()
                                                 ? QStringLiteral(": paid, change %1")
                                                       .arg(tender::shown(receipt_.lastChange()))
                                             : receipt_.isVoided() ? QStringLiteral(": voided")
                                                                   : QString());
    number_->setText(text);
}
