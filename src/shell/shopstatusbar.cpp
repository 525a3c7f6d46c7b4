// The three panels of the status bar, and the shop panel: which shop is open, or where a
// missing shop file is expected.
#include "shopstatusbar.h"

#include "clock.h"
#include "conversions.h"
#include "shopfile.h"
#include "shoplocation.h"

#include <QFileInfo>
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
    shop_ = makePanel(QStringLiteral("panelShop"), this);
    shop_->setTextInteractionFlags(Qt::TextSelectableByMouse); // the path can be copied
    // A long path or server name never widens the window: it is cut, and whole in the tip.
    shop_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    shop_->hide();
    date_ = makePanel(QStringLiteral("panelDate"), this);
    time_ = makePanel(QStringLiteral("panelTime"), this);
    // "Status" fills the bar alone; beside the shop panel it keeps a small share.
    addWidget(status_, 1);
    addWidget(shop_, 4);
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

QString ShopStatusBar::shopText() const {
    return shop_->isHidden() ? QString() : shop_->text();
}

void ShopStatusBar::showShop(const QString &location) {
    shopLocation_ = location;
    refresh();
}

void ShopStatusBar::refresh() {
    // Checked with the clock, so that a shop made in a terminal is noticed as well. Where
    // there is no file, the panel says where New Shop makes one; anything else with the name
    // is left to the screens' messages.
    QString text;
    if (shoplocation::isServer(shopLocation_))
        text = shoplocation::describe(shopLocation_);
    else if (!shopLocation_.isEmpty() && !shopfile::occupied(shopLocation_))
        text = QStringLiteral("No shop yet: Quillmart expects it at %1. File > New Shop… makes "
                              "one there.")
                   .arg(shopLocation_);
    else if (QFileInfo(shopLocation_).isFile())
        text = QStringLiteral("Shop: %1").arg(shopLocation_);
    if (shop_->text() != text) {
        shop_->setText(text);
        shop_->setToolTip(text);
        shop_->setAccessibleName(text);
    }
    shop_->setHidden(text.isEmpty());
    date_->setText(conv::dateText(clock_->today()));
    time_->setText(conv::timeText(clock_->timeOfDay()));
}
