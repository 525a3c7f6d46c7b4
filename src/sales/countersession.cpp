// The counter's till session: the float, cash in and out, the closing and its Z report.
#include "countersession.h"

#include "blindcountdialog.h"
#include "cashmovementdialog.h"
#include "clock.h"
#include "conversions.h"
#include "counterbox.h"
#include "counteroffline.h"
#include "errorpolicy.h"
#include "messageboxes.h"
#include "screenheading.h"
#include "sessionreportwindow.h"
#include "shopsession.h"
#include "tender.h"
#include "versioncheck.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QUuid>

namespace {

QPushButton *stripButton(const char *name, const QString &caption, const QString &tip,
                         QWidget *parent) {
    auto *button = named<QPushButton>(name, caption, parent);
    button->setToolTip(tip);
    return button;
}

} // namespace

CounterSession::CounterSession(QWidget *screen, const ShopContext &context,
                               std::shared_ptr<ShopSession> session, bool paymentsOn,
                               CounterOffline *offline)
    : QObject(screen), screen_(screen), context_(context), session_(std::move(session)),
      offline_(offline) {
    if (const std::optional<CounterStart> &kept = offline_->startedFrom()) {
        // Kept only with an open session, so of a shop that has sessions.
        enabled_ = paymentsOn;
        till_ = kept->till;
        current_ = kept->session;
    } else {
        // Silently off on a shop of an older version: it sells as that version did.
        policy::skipOnError([&] {
            enabled_ = paymentsOn &&
                       versioncheck::read(session_->connection()).number >= shop::sessionsVersion;
        });
    }
    buildStrip(screen);
    if (!enabled_)
        return;
    // Back online, the till learns whether its session was closed while it was away.
    connect(offline_, &CounterOffline::reconnected, this, &CounterSession::refresh);
    counterbox::onKey(screen, Qt::Key_F7, this, [this] { moveCash(true); });
    counterbox::onKey(screen, Qt::Key_F8, this, [this] { moveCash(false); });
    counterbox::onKey(screen, Qt::Key_F9, this, [this] { closeSession(); });
    refresh();
}

void CounterSession::buildStrip(QWidget *screen) {
    strip_ = named<QStackedWidget>("fraSession", screen);
    strip_->setVisible(enabled_);
    strip_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    // No session: a light yellow band that the operator cannot miss.
    auto *closedPage = new QWidget(strip_);
    counterbox::colour(closedPage, QPalette::Window, QColor(0xFF, 0xFF, 0xC0));
    auto *ask = named<QLabel>(
        "lblNoSession",
        QStringLiteral("No session is open at this till. Count the cash in the drawer, type it "
                       "and press Enter:"),
        closedPage);
    ask->setWordWrap(true);
    counterbox::enlarge(ask, 11, true);
    float_ = named<QLineEdit>("txtFloat", closedPage);
    float_->setAlignment(Qt::AlignRight);
    float_->setMaximumWidth(160);
    counterbox::enlarge(float_, 14, true);
    auto *floatCaption = named<QLabel>("lblFloat", QStringLiteral("&Float:"), closedPage);
    floatCaption->setBuddy(float_);
    auto *openButton = stripButton(
        "cmdOpenSession", QStringLiteral("Open Session"),
        QStringLiteral("Open this till's session with the float counted (Enter)"), closedPage);
    auto *closedRow = new QHBoxLayout(closedPage);
    closedRow->setContentsMargins(6, 4, 6, 4);
    closedRow->addWidget(ask, 1);
    closedRow->addWidget(floatCaption);
    closedRow->addWidget(float_);
    closedRow->addWidget(openButton);

    auto *openPage = new QWidget(strip_);
    shown_ = named<QLabel>("lblSession", openPage);
    counterbox::enlarge(shown_, 10, true);
    auto *cashIn =
        stripButton("cmdCashIn", QStringLiteral("Ca&sh In (F7)"),
                    QStringLiteral("Cash put into the drawer, with the reason"), openPage);
    auto *cashOut =
        stripButton("cmdCashOut", QStringLiteral("Cash Ou&t (F8)"),
                    QStringLiteral("Cash taken out of the drawer, with the reason"), openPage);
    auto *close = stripButton("cmdCloseSession", QStringLiteral("Clos&e Session (F9)"),
                              QStringLiteral("Count the drawer and close the session: the Z "
                                             "report"),
                              openPage);
    auto *openRow = new QHBoxLayout(openPage);
    openRow->setContentsMargins(0, 0, 0, 0);
    openRow->addWidget(shown_, 1);
    openRow->addWidget(cashIn);
    openRow->addWidget(cashOut);
    openRow->addWidget(close);
    strip_->addWidget(closedPage);
    strip_->addWidget(openPage);

    counterbox::onEnter(float_, [this] { openSession(); });
    connect(openButton, &QPushButton::clicked, this, [this] { openSession(); });
    connect(cashIn, &QPushButton::clicked, this, [this] { moveCash(true); });
    connect(cashOut, &QPushButton::clicked, this, [this] { moveCash(false); });
    connect(close, &QPushButton::clicked, this, &CounterSession::closeSession);
}

QWidget *CounterSession::strip() const {
    return strip_;
}

std::optional<qint64> CounterSession::till() {
    if (!till_)
        till_ = shop::thisTill(session_->connection());
    return till_ ? std::optional<qint64>(till_->id) : std::nullopt;
}

void CounterSession::refresh() {
    if (!enabled_)
        return;
    // Offline the session open when the server went away goes on; none opens meanwhile.
    const std::optional<TillSession> before = current_;
    bool read = false;
    policy::reportOnError(*context_.messages, [&] {
        offline_->onlineOr(
            [&] {
                const std::optional<qint64> id = till();
                current_ = id ? shop::openSessionOf(session_->connection(), *id) : std::nullopt;
                read = true;
            },
            [] {});
    });
    show();
    if (read && before && (!current_ || current_->id != before->id))
        closedElsewhere(before->id);
}

void CounterSession::closedElsewhere(qint64 sessionId) {
    // Kept at once, so that the till no longer sells offline in the closed session.
    emit changed();
    TillSession closed;
    policy::skipOnError([&] { closed = shop::sessionById(session_->connection(), sessionId); });
    const QString by =
        closed.isOpen()
            ? QString()
            : QStringLiteral(" by %1 at %2").arg(closed.closedBy, conv::momentText(closed.closed));
    context_.messages->inform(
        QStringLiteral("This till's session %1 was closed%2, away from this counter (by the "
                       "back office while the shop's server could not be reached, or in another "
                       "window). Work made in it that the shop had not received is set aside "
                       "and listed under Sale > Refused Receipts.\n\n%3")
            .arg(sessionId)
            .arg(by)
            .arg(current_ ? QStringLiteral("The counter sells on in session %1, open now.")
                                .arg(current_->id)
                          : QStringLiteral("A new session is needed before the next sale: count "
                                           "the cash in the drawer, type it in the Float box and "
                                           "press Enter.")));
    if (!current_)
        counterbox::focusSelected(float_);
}

void CounterSession::show() {
    strip_->setCurrentIndex(current_ ? 1 : 0);
    if (!current_) {
        shown_->clear();
        return;
    }
    shown_->setText(QStringLiteral("%1, session %2: opened %3 by %4, float %5")
                        .arg(current_->tillName)
                        .arg(current_->id)
                        .arg(conv::momentText(current_->opened), current_->openedBy,
                             tender::shown(current_->openingFloat)));
}

bool CounterSession::openNow(const QString &why) {
    refresh();
    if (!current_)
        context_.messages->inform(why);
    return current_.has_value();
}

bool CounterSession::readyToSell() {
    if (!enabled_)
        return true;
    if (!openNow(QStringLiteral(
            "No session is open at this till, so nothing can be sold yet. Count the cash in "
            "the drawer, type it in the Float box and press Enter: that opens the session."))) {
        counterbox::focusSelected(float_);
        return false;
    }
    if (current_->opened.date() >= context_.clock->today() || askedAfterMidnight_ == current_->id)
        return true;
    askedAfterMidnight_ = current_->id;
    const bool closeNow = context_.messages->confirm(
        QStringLiteral("This till's session opened on %1 and is still open on a new day.\n\nOK "
                       "closes it now: count the drawer, then the float of a new session; the "
                       "sale stays on the screen. Cancel sells on in this session, whose Z "
                       "report will say that it spans more than one day.")
            .arg(conv::dateText(current_->opened.date())));
    if (!closeNow)
        return true;
    closeSession();
    return false;
}

bool CounterSession::openSession() {
    if (!enabled_ || current_)
        return current_.has_value();
    const std::optional<Money> counted =
        counterbox::read(float_, *context_.messages, QStringLiteral("The float"));
    if (!counted)
        return false;
    const bool opened = policy::reportOnError(*context_.messages, [&] {
        current_ = shop::openSession(*session_, {*counted, context_.clock->now()});
    });
    if (!opened) {
        refresh(); // opened meanwhile by another window of this till, or still closed
        return current_.has_value();
    }
    float_->clear();
    show();
    emit changed();
    return true;
}

void CounterSession::moveCash(bool in) {
    if (!enabled_)
        return;
    if (!openNow(QStringLiteral("No session is open at this till: cash is put in or taken out "
                                "during a session.")))
        return;
    const qint64 sessionId = current_->id;
    const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    auto *dialog = new CashMovementDialog(
        in, *context_.messages,
        [this, sessionId, id, in](Money amount, const QString &reason) {
            const CashMovementRecord movement{id,     sessionId, in,
                                              amount, reason,    context_.clock->now()};
            return policy::reportOnError(*context_.messages, [&] {
                // Offline the session is known on the till: the cash waits in its outbox, and
                // is recorded once on the server by its identifier.
                offline_->onlineOr(
                    [&] { shop::moveCash(*session_, movement); },
                    [&] { context_.messages->inform(offline_->keepCash(movement)); });
            });
        },
        screen_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

bool CounterSession::noUnpaidReceipts() {
    std::vector<UnpaidReceipt> unpaid;
    if (!policy::reportOnError(*context_.messages, [&] {
            unpaid = shop::unpaidReceipts(session_->connection(), *till());
        }))
        return false;
    if (unpaid.empty())
        return true;
    QStringList numbers;
    for (const UnpaidReceipt &receipt : unpaid)
        numbers
            << QStringLiteral("%1 (%2 to pay)").arg(receipt.readable, tender::shown(receipt.total));
    context_.messages->inform(
        QStringLiteral("The session cannot close while a receipt of this till is not paid: %1."
                       "\n\nTake each up (Unpaid Receipts, F11) and take payment (F12), or void "
                       "it (F6); then close the session.")
            .arg(numbers.join(QStringLiteral(", "))));
    return false;
}

void CounterSession::closeSession() {
    if (!enabled_)
        return;
    // What the till made while the server was away must reach it first: the Z report holds it.
    const std::pair<int (CounterOffline::*)(), const char *> waiting[] = {
        {&CounterOffline::waiting, "receipt(s) made"},
        {&CounterOffline::refundsWaiting, "refund(s) given"},
        {&CounterOffline::cashWaiting, "cash movement(s) recorded"}};
    for (const auto &[countOf, what] : waiting) {
        if (const int count = (offline_->*countOf)(); count > 0) {
            context_.messages->inform(
                QStringLiteral("This till has %1 %2 while the shop's server was away that are "
                               "not on the server yet. The session can be closed once they are "
                               "sent, so that its Z report holds them.")
                    .arg(count)
                    .arg(QLatin1String(what)));
            return;
        }
    }
    if (!openNow(QStringLiteral("No session is open at this till.")))
        return;
    if (!noUnpaidReceipts())
        return;
    std::vector<PaymentMethod> methods;
    if (!policy::reportOnError(*context_.messages,
                               [&] { methods = shop::paymentMethods(session_->connection()); }))
        return;
    auto *dialog = new BlindCountDialog(
        QStringLiteral("session %1 of %2").arg(current_->id).arg(current_->tillName), methods,
        *context_.messages,
        [this, id = current_->id](const std::vector<CountedAmount> &counted) {
            return storeClosing(id, counted);
        },
        screen_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

bool CounterSession::storeClosing(qint64 sessionId, const std::vector<CountedAmount> &counted) {
    SessionReport report;
    const bool closed = policy::reportOnError(*context_.messages, [&] {
        report = shop::closeSession(*session_, {sessionId, counted, context_.clock->now()});
    });
    if (!closed)
        return false;
    current_.reset();
    show();
    emit changed();
    // The Z report at once, as stored: to be read, printed or saved.
    zReport_ = new SessionReportWindow(report, context_.clock->now(), *context_.messages, screen_);
    zReport_->setAttribute(Qt::WA_DeleteOnClose);
    connect(zReport_, &QObject::destroyed, this, [this] { zReport_ = nullptr; });
    zReport_->show();
    return true;
}
