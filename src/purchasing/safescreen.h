// The safe-quantity screen: the titles whose stock has fallen below their safe quantity.
#pragma once

#include "shopscreen.h"

class DataGrid;

class SafeScreen : public ShopScreen {
    Q_OBJECT
public:
    explicit SafeScreen(const ShopContext &context, QWidget *parent = nullptr);

    DataGrid *grid() const { return grid_; }
    // Wide enough for every column of the list, so nothing needs a sideways scroll.
    QSize sizeHint() const override;

private:
    DataGrid *grid_;
};
