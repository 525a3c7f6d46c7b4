// The safe-quantity screen: the titles whose stock has fallen below their safe quantity.
#pragma once

#include "shopscreen.h"

class DataGrid;
class RecordSource;

class SafeScreen : public ShopScreen {
    Q_OBJECT
public:
    explicit SafeScreen(const ShopContext &context, QWidget *parent = nullptr);

    // Reads the short titles again into the grid.
    void listShortTitles();

    DataGrid *grid() const { return grid_; }
    RecordSource *source() const { return titles_; }
    // Wide enough for every column of the list, so nothing needs a sideways scroll.
    QSize sizeHint() const override;

private:
    RecordSource *titles_;
    DataGrid *grid_;
};
