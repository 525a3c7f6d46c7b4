// The frame's client area: light green, with the shop's picture drawn in the middle.
#pragma once

#include <QMdiArea>
#include <QSvgRenderer>

class ShopMdiArea : public QMdiArea {
    Q_OBJECT
public:
    explicit ShopMdiArea(QWidget *parent = nullptr);

    static QColor backgroundColour() { return QColor(0xC0, 0xFF, 0xC0); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSvgRenderer backdrop_;
};
