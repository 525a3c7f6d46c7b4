// The three panels of the status bar.
#include "shopstatusbar.h"

#include "clock.h"
#include "conversions.h"

#include <QLabel>

namespace {
QLabel *makePanel(const QString &name, QWidget *parent) {
    auto *panel = new QLabel(parent);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setContentsMargins(4, 0, 4, 0);
    return panel;
}
} // namespace

ShopStatusBar::ShopStatusBar(const Clock *clock, QWidget *parent)
    : QStatusBar(parent), clock_(clock) {
    setObjectName(QStringLiteral("sbStatusBar"));
    if (clock_ == nullptr) {
        ownClock_ = std::make_unique<SystemClock>();
        clock_ = ownClock_.get();
    }
    status_ = makePanel(QStringLiteral("panelStatus"), this);
    status_->setText(QStringLiteral("Status"));
    date_ = makePanel(QStringLiteral("panelDate"), this);
    time_ = makePanel(QStringLiteral("panelTime"), this);
    addWidget(status_, 1);
    addPermanentWidget(date_);
    addPermanentWidget(time_);
    refresh();
    // Once a second is enough for a clock that shows seconds.
    ticker_.setInterval(1000);
    connect(&ticker_, &QTimer::timeout, this, &ShopStatusBar::refresh);
    ticker_.start();
}

ShopStatusBar::~ShopStatusBar() = default;

QString ShopStatusBar::panelText(int panel) const {
    switch (panel) {
    case 1:
        return status_->text();
    case 2:
        return date_->text();
    case 3:
        return time_->text();
    default:
        return {};
    }
}

void ShopStatusBar::refresh() {
    date_->setText(conv::dateText(clock_->today()));
    time_->setText(conv::timeText(clock_->timeOfDay()));
}
