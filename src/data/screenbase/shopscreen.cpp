// The base of the shop's screens.
#include "shopscreen.h"

#include "screenheading.h"
#include "screenopener.h"

ShopScreen::ShopScreen(const ShopContext &context, const QString &screenId,
                       const QString &windowTitle, QSize openingSize, QWidget *parent)
    : QWidget(parent), context_(context), openingSize_(openingSize) {
    setObjectName(screenId);
    setWindowTitle(windowTitle);
}

QLabel *ShopScreen::titleHeading() {
    return screenHeading(QStringLiteral("Label1"), windowTitle(), this, 1.4, false);
}

QPushButton *ShopScreen::closeButton() {
    return stepButton("cmdClose", QStringLiteral("&Close"), this, &ShopScreen::closeScreen);
}

void ShopScreen::closeScreen() {
    context_.opener->close(this);
}

QSize ShopScreen::sizeHint() const {
    return QWidget::sizeHint().expandedTo(openingSize_);
}
