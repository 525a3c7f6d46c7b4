// The book query (frmBookQuery): the catalogue in a read-only grid, the current title's
// details in read-only boxes, and buttons that sort by ISBN, title, author or publisher.
#pragma once

#include "shopscreen.h"

class RecordSource;

class BookQueryScreen : public ShopScreen {
    Q_OBJECT
public:
    explicit BookQueryScreen(const ShopContext &context, QWidget *parent = nullptr);

    // The button column: 0..3 sort the catalogue, 4 closes the screen.
    void command(int index);

private:
    void buildControls();

    RecordSource *titles_;
};
