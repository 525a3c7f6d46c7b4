// The base of the shop's screens: the context each is given, its identifier and window title,
// and the size it opens at.
#pragma once

#include "shopcontext.h"

#include <QWidget>

class QLabel;
class QPushButton;

class ShopScreen : public QWidget {
    Q_OBJECT
public:
    // At least the opening size, more where the controls need it.
    QSize sizeHint() const override;
    // Closes the screen's window, as its Close button does.
    void closeScreen();

protected:
    ShopScreen(const ShopContext &context, const QString &screenId, const QString &windowTitle,
               QSize openingSize, QWidget *parent);

    // The window title as the screen's heading, at the top left (Label1).
    QLabel *titleHeading();
    // "&Close" (cmdClose), which closes the screen.
    QPushButton *closeButton();

    ShopContext context_;

private:
    QSize openingSize_;
};
