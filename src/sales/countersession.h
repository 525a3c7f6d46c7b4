// The selling screen's till session, when the shop takes payment: the strip at the top of the
// screen that either asks for the float counted into the drawer (Enter opens the session) or
// shows the session open, with Cash In (F7), Cash Out (F8) and Close Session (F9). A sale
// needs an open session; the first sale on a day after the session opened asks whether to
// close it first. With payments off, or on a shop older than sessions, it does nothing.
#pragma once

#include "receipts.h"
#include "shopcontext.h"
#include "tillsessions.h"

#include <QObject>
#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QStackedWidget;
class CounterOffline;
class SessionReportWindow;
class ShopSession;

class CounterSession : public QObject {
    Q_OBJECT
public:
    // Opened offline (CounterOffline::startedFrom), the session the till kept goes on.
    CounterSession(QWidget *screen, const ShopContext &context,
                   std::shared_ptr<ShopSession> session, bool paymentsOn, CounterOffline *offline);

    // Whether this counter sells in sessions: payments on, in a shop that has them.
    bool enabled() const { return enabled_; }
    // The strip, for the screen to place; hidden when sessions are off.
    QWidget *strip() const;
    const std::optional<TillSession> &current() const { return current_; }
    // Reads the till's open session again (another window may have opened or closed it).
    void refresh();
    // Reads it again: true when a session is open, else false, the operator told `why`.
    bool openNow(const QString &why);

    // Before a sale is booked: true when it may be. Without an open session the operator is
    // told to count the float first, the float box taking the focus. On a day after the
    // session opened, the first sale asks whether to close it now (the sale stays unsold) or
    // sell on in it.
    bool readyToSell();
    // "Open Session": the float box's amount counted, the session opened. True when it is.
    bool openSession();
    // Cash In (F7) and Cash Out (F8): the window for the amount and reason.
    void moveCash(bool in);
    // Close Session (F9): the blind count of each method, then the Z report.
    void closeSession();
    // The Z report of the last closing shown by this counter; null before.
    SessionReportWindow *lastZReport() const { return zReport_; }
    QLineEdit *floatBox() const { return float_; }
    CounterOffline *offline() const { return offline_; }

signals:
    // A session opened or closed here.
    void changed();

private:
    void buildStrip(QWidget *screen);
    void show();
    // The session this counter was in was closed elsewhere: the operator is told, and asked
    // for a new session's float.
    void closedElsewhere(qint64 sessionId);
    // False, and the operator told which, when the till has receipts not paid.
    bool noUnpaidReceipts();
    bool storeClosing(qint64 sessionId, const std::vector<CountedAmount> &counted);
    std::optional<qint64> till();

    QWidget *screen_;
    ShopContext context_;
    std::shared_ptr<ShopSession> session_;
    bool enabled_ = false;
    std::optional<Till> till_;
    std::optional<TillSession> current_;
    std::optional<qint64> askedAfterMidnight_; // the session the new day's question was put for
    QStackedWidget *strip_ = nullptr;
    QLineEdit *float_ = nullptr;
    QLabel *shown_ = nullptr;
    SessionReportWindow *zReport_ = nullptr;
    CounterOffline *offline_ = nullptr;
};
