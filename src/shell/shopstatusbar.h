// sbStatusBar: "Status", the date and the time of day; the two clock panels keep themselves
// up to date. While there is no shop file, a panel beside "Status" says where it is expected.
#pragma once

#include <QStatusBar>
#include <QTimer>
#include <memory>

class Clock;
class QLabel;

class ShopStatusBar : public QStatusBar {
    Q_OBJECT
public:
    // Without a clock the system's own is used.
    explicit ShopStatusBar(const Clock *clock, QWidget *parent = nullptr);
    ~ShopStatusBar() override;

    QString panelText(int panel) const; // 1-based, as the panels are numbered
    void refresh();
    // The shop file to watch for: while it is missing, the shop panel names its place.
    void expectShopAt(const QString &path);
    // What the shop panel says; empty while it is hidden.
    QString shopText() const;

private:
    const Clock *clock_;
    std::unique_ptr<Clock> ownClock_;
    QLabel *status_;
    QLabel *shop_;
    QString shopPath_;
    QLabel *date_;
    QLabel *time_;
    QTimer ticker_;
};
