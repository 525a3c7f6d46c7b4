// Reorder Suggestions (frmReorder): what to order from a supplier, worked out from the sales
// over the supplier's window of days, its lead and cover days, the safe quantities, the stock,
// the copies on order and the customer orders not yet ordered. The operator changes a quantity
// in the list, drops a line or adds a title, and makes a draft purchase order of it; nothing
// is ordered by itself. The list copies, exports and prints as every list does.
#pragma once

#include "shopscreen.h"

class DataGrid;
class QComboBox;
class QLineEdit;
class QSpinBox;
class RecordSource;

class ReorderScreen : public ShopScreen {
    Q_OBJECT
public:
    explicit ReorderScreen(const ShopContext &context, QWidget *parent = nullptr);

    // The operator's steps.
    void chooseSupplier(const QString &supplier);
    void saveDays();
    void listSuggestions();
    // Every supplier whose list wants copies, most copies first; the one chosen is listed.
    void whichSuppliers();
    void addTitle();
    void dropLine();
    void makeDraftOrder();

    QLineEdit *isbnBox() const { return isbn_; }
    DataGrid *grid() const { return grid_; }

private:
    void showList();
    QString supplier() const;

    RecordSource *list_;
    DataGrid *grid_;
    QComboBox *suppliers_;
    QSpinBox *window_, *lead_, *cover_;
    QLineEdit *isbn_;
};
