// The base of the shop's screens.
#include "shopscreen.h"

#include "screenopener.h"

ShopScreen::ShopScreen(const ShopContext &context, const QString &screenId,
                       const QString &windowTitle, QSize openingSize, QWidget *parent)
    : QWidget(parent), context_(context), openingSize_(openingSize) {
    setObjectName(screenId);
    setWindowTitle(windowTitle);
}

void ShopScreen::closeScreen() {
    context_.opener->close(this);
}

QSize ShopScreen::sizeHint() const {
    return QWidget::sizeHint().expandedTo(openingSize_);
}
