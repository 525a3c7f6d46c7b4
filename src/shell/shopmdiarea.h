// The frame's client area: light green, with the shop's picture drawn in the middle. A child
// window opens inside it where it can be seen, never at a negative position, and the area
// scrolls whenever a child window sticks out of it, so that every control stays reachable
// however small the frame.
#pragma once

#include <QMdiArea>
#include <QSvgRenderer>

class ShopMdiArea : public QMdiArea {
    Q_OBJECT
public:
    explicit ShopMdiArea(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeOnFirstShow(QMdiSubWindow *window);

    QSvgRenderer backdrop_;
};
