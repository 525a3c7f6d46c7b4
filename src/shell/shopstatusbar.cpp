// The three panels of the status bar, and after them the shop panel: which shop is open, or
// that there is none yet.
#include "shopstatusbar.h"

#include "conversions.h"
#include "shopfile.h"

#include <QColor>
#include <QFileInfo>
#include <QLabel>
#include <QPalette>

namespace {
// Pixels the shop panel's name may take: the clock panels and "Status" still fit beside it in
// the window's first-start width.
constexpr int longestShopName = 200;

QLabel *makePanel(const QString &name, QWidget *parent) {
    auto *panel = new QLabel(parent);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setContentsMargins(4, 0, 4, 0);
    return panel;
}
} // namespace

ShopStatusBar::ShopStatusBar(const Clock *clock, QWidget *parent)
    : QStatusBar(parent), clock_(clock ? clock : &systemClock_) {
    setObjectName(QStringLiteral("sbStatusBar"));
    status_ = makePanel(QStringLiteral("panelStatus"), this);
    status_->setText(QStringLiteral("Status"));
    shopPanel_ = makePanel(QStringLiteral("panelShop"), this);
    shopPanel_->hide();
    tillPanel_ = makePanel(QStringLiteral("panelTill"), this);
    tillPanel_->hide();
    offlinePanel_ = makePanel(QStringLiteral("panelOffline"), this);
    offlinePanel_->hide();
    // The counter's own amber, so that the operator links the two.
    offlinePanel_->setAutoFillBackground(true);
    QPalette amber = offlinePanel_->palette();
    amber.setColor(QPalette::Window, QColor(0xFF, 0xD8, 0x9C));
    offlinePanel_->setPalette(amber);
    date_ = makePanel(QStringLiteral("panelDate"), this);
    time_ = makePanel(QStringLiteral("panelTime"), this);
    // The shop's three panels first and in their order; "Status" takes the room to spare.
    // The shop panel comes after them, with a short name.
    addWidget(status_, 1);
    addWidget(date_);
    addWidget(time_);
    addWidget(shopPanel_);
    addWidget(tillPanel_);
    addWidget(offlinePanel_);
    refresh();
    // Once a second is enough for a clock that shows seconds.
    ticker_.setInterval(1000);
    connect(&ticker_, &QTimer::timeout, this, &ShopStatusBar::refresh);
    ticker_.start();
}

QString ShopStatusBar::panelText(int panel) const {
    const QLabel *const panels[] = {status_, date_, time_};
    return panel >= 1 && panel <= 3 ? panels[panel - 1]->text() : QString();
}

QString ShopStatusBar::shopText() const {
    return shopPanel_->isHidden() ? QString() : shopPanel_->text();
}

QString ShopStatusBar::shopToolTip() const {
    return shopPanel_->isHidden() ? QString() : shopPanel_->toolTip();
}

void ShopStatusBar::showTill(const QString &name) {
    tillPanel_->setText(name.isEmpty() ? QString() : QStringLiteral("Till: %1").arg(name));
    tillPanel_->setAccessibleName(tillPanel_->text());
    tillPanel_->setHidden(name.isEmpty());
}

void ShopStatusBar::showOffline(const QString &text) {
    offlinePanel_->setText(text);
    offlinePanel_->setAccessibleName(text);
    offlinePanel_->setHidden(text.isEmpty());
}

QString ShopStatusBar::offlineText() const {
    return offlinePanel_->isHidden() ? QString() : offlinePanel_->text();
}

void ShopStatusBar::showShop(const ShopDatabase &shop) {
    shop_ = shop;
    refresh();
}

void ShopStatusBar::refresh() {
    // Checked with the clock, so that a shop made in a terminal is noticed as well. Where
    // there is no file, the panel says where New Shop makes one; anything else with the name
    // is left to the screens' messages.
    QString text, whole;
    const std::optional<QString> file = shop_.localFile();
    if (!shop_.isNull() && !file) {
        text = QStringLiteral("Server shop: %1").arg(shop_.shortName());
        whole = shop_.describe();
    } else if (file && !file->isEmpty() && !shopfile::occupied(*file)) {
        text = QStringLiteral("No shop yet");
        whole = QStringLiteral("No shop yet: Quillmart expects it at %1. File > New Shop… "
                               "makes one there.")
                    .arg(*file);
    } else if (file && QFileInfo(*file).isFile()) {
        text = QStringLiteral("Shop: %1").arg(shop_.shortName());
        whole = QStringLiteral("Shop: %1").arg(*file);
    }
    // A long name never widens the window: it is cut, and whole in the tip.
    text = shopPanel_->fontMetrics().elidedText(text, Qt::ElideMiddle, longestShopName);
    if (shopPanel_->toolTip() != whole) {
        shopPanel_->setText(text);
        shopPanel_->setToolTip(whole);
        shopPanel_->setAccessibleName(whole);
    }
    shopPanel_->setHidden(text.isEmpty());
    date_->setText(conv::dateText(clock_->today()));
    time_->setText(conv::timeText(clock_->timeOfDay()));
}
