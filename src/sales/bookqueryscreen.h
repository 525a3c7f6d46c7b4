// The book query (frmBookQuery): the catalogue in a read-only grid, the current title's
// details in read-only boxes, and buttons that sort by ISBN, title, author or publisher.
#pragma once

#include "shopcontext.h"

#include <QWidget>

class DataGrid;
struct Column;
class RecordSource;

class BookQueryScreen : public QWidget {
    Q_OBJECT
public:
    explicit BookQueryScreen(const ShopContext &context, QWidget *parent = nullptr);
    QSize sizeHint() const override;

    // The button column: 0..3 sort the catalogue, 4 closes the screen.
    void command(int index);

private:
    void buildControls();
    void sortBy(const Column &column, bool moveFirst);

    ShopContext context_;
    RecordSource *titles_;
    DataGrid *grid_ = nullptr;
};
