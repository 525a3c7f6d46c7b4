// Special offers: register an offer price for an ISBN over a period, or delete an offer.
#pragma once

#include "shopscreen.h"

#include <array>

class DatePicker;
class QLineEdit;
class RecordSource;

class OnSaleScreen : public ShopScreen {
    Q_OBJECT
public:
    explicit OnSaleScreen(const ShopContext &context, QWidget *parent = nullptr);

    // "Create": stores the offer typed in the boxes and pickers, then resets them.
    void createOffer();
    // "Delete Record": deletes the offer selected in the grid, after confirmation.
    void deleteOffer();

private:
    void buildControls();
    void resetInputs();

    RecordSource *offers_ = nullptr;      // Adodc1
    std::array<QLineEdit *, 2> inputs_{}; // ISBN, offer price
    DatePicker *beginPicker_ = nullptr;
    DatePicker *endPicker_ = nullptr;
};
