// frmNewShop: asks which shop to make where there is none yet, an empty one or the demo shop,
// and whether its counter takes payment.
#pragma once

#include "shopfile.h"

#include <QDialog>

class QCheckBox;
class QRadioButton;

class NewShopDialog : public QDialog {
    Q_OBJECT
public:
    NewShopDialog(const QString &path, QWidget *owner = nullptr);
    // The operator's choice; the empty shop unless the demo shop is picked.
    shopfile::Contents contents() const;
    // Whether the counter takes payment (receipts, cash, card); off unless ticked.
    bool paymentsOn() const;

private:
    QRadioButton *demo_;
    QCheckBox *payments_;
};
