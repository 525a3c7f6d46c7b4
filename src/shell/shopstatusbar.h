// sbStatusBar: "Status", the date and the time of day; the two clock panels keep themselves
// up to date. A panel after them names the shop that is open (its file, or its server's
// database) in short, whole in its tip, or, while there is no shop file, says so.
#pragma once

#include "clock.h"
#include "shopdatabase.h"

#include <QStatusBar>
#include <QTimer>

class QLabel;

class ShopStatusBar : public QStatusBar {
    Q_OBJECT
public:
    // Without a clock the system's own is used.
    explicit ShopStatusBar(const Clock *clock, QWidget *parent = nullptr);

    QString panelText(int panel) const; // 1-based, as the panels are numbered
    void refresh();
    // The shop's file or server; a missing file is watched for.
    void showShop(const ShopDatabase &shop);
    // What the shop panel says, and its tip; empty while it is hidden.
    QString shopText() const;
    QString shopToolTip() const;
    // The till this program sells at, in a panel after the shop's; empty hides it.
    void showTill(const QString &name);
    // What a counter selling without the server says, in an amber panel after the till's;
    // empty hides it.
    void showOffline(const QString &text);
    QString offlineText() const;

private:
    SystemClock systemClock_;
    const Clock *clock_;
    QLabel *status_;
    QLabel *shopPanel_;
    QLabel *tillPanel_;
    QLabel *offlinePanel_;
    ShopDatabase shop_;
    QLabel *date_;
    QLabel *time_;
    QTimer ticker_;
};
