// New Order: a customer's order of a title. The ISBN (any form) is looked up in the catalogue
// when its box is left; a title the catalogue lacks is described here (title, author,
// publisher, price) and added to the catalogue when the order is taken. What cannot be stored
// is said in a message and stays in its box.
#pragma once

#include "customerorders.h"
#include "shopcontext.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QSpinBox;
class ShopSession;

class NewOrderDialog : public QDialog {
    Q_OBJECT
public:
    NewOrderDialog(const ShopContext &context, std::shared_ptr<ShopSession> session,
                   QWidget *parent = nullptr);
    QLineEdit *box(const char *name) const;
    QSpinBox *quantityBox() const { return quantity_; }
    // Looks the ISBN up: the catalogue's title fills the boxes, or the title's boxes open for
    // a new one.
    void lookUp();
    // Takes the order; true when it is stored (the dialog then closes).
    bool take();

private:
    // A box captioned in the form; what is typed in it is the order's `field`, if given.
    QLineEdit *addBox(const char *name, const QString &caption, class QFormLayout *form,
                      QString NewOrder::*field = nullptr);

    ShopContext context_;
    std::shared_ptr<ShopSession> session_;
    QSpinBox *quantity_;
    QCheckBox *promisedOn_;
    QDateEdit *promised_;
    QLabel *found_;
    std::vector<std::pair<QLineEdit *, QString NewOrder::*>> fields_;
};
