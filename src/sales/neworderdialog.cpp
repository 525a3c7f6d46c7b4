// Taking a customer's order.
#include "neworderdialog.h"

#include "clock.h"
#include "dataerror.h"
#include "isbn.h"
#include "messageboxes.h"
#include "screenheading.h"
#include "shopsession.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

NewOrderDialog::NewOrderDialog(const ShopContext &context, std::shared_ptr<ShopSession> session,
                               QWidget *parent)
    : QDialog(parent), context_(context), session_(std::move(session)) {
    setObjectName(QStringLiteral("dlgNewOrder"));
    setWindowTitle(QStringLiteral("New Customer Order"));
    auto *form = new QFormLayout;
    addBox("txtCustomer", QStringLiteral("&Customer:"), form, &NewOrder::customer);
    addBox("txtPhone", QStringLiteral("&Phone:"), form, &NewOrder::phone);
    addBox("txtEmail", QStringLiteral("&E-mail:"), form, &NewOrder::email);
    QLineEdit *isbnBox = addBox("txtISBN", QStringLiteral("&ISBN:"), form, &NewOrder::isbn);
    found_ = named<QLabel>("lblFound", this);
    form->addRow(QString(), found_);
    addBox("txtTitle", QStringLiteral("&Title:"), form, &NewOrder::title);
    addBox("txtAuthor", QStringLiteral("&Author:"), form, &NewOrder::author);
    addBox("txtPublisher", QStringLiteral("Pu&blisher:"), form, &NewOrder::publisher);
    addBox("txtPrice", QStringLiteral("P&rice:"), form);
    quantity_ = named<QSpinBox>("txtQty", this);
    quantity_->setRange(-999, 999);
    quantity_->setValue(1);
    form->addRow(captionFor(QStringLiteral("&Quantity:"), quantity_, this), quantity_);
    addBox("txtSupplier", QStringLiteral("&Supplier:"), form, &NewOrder::supplier);
    promisedOn_ = named<QCheckBox>("chkPromised", QStringLiteral("Pro&mised for:"), this);
    promised_ = named<QDateEdit>("dtpPromised", context_.clock->today().addDays(14), this);
    promised_->setCalendarPopup(true);
    promised_->setEnabled(false);
    connect(promisedOn_, &QCheckBox::toggled, promised_, &QWidget::setEnabled);
    form->addRow(promisedOn_, promised_);
    addBox("txtNotes", QStringLiteral("&Notes:"), form, &NewOrder::notes);
    connect(isbnBox, &QLineEdit::editingFinished, this, &NewOrderDialog::lookUp);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Take &Order"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { take(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *page = new QVBoxLayout(this);
    page->addLayout(form);
    page->addWidget(buttons);
}

QLineEdit *NewOrderDialog::addBox(const char *name, const QString &caption, QFormLayout *form,
                                  QString NewOrder::*field) {
    auto *edit = named<QLineEdit>(name, this);
    form->addRow(captionFor(caption, edit, this), edit);
    if (field != nullptr)
        fields_.emplace_back(edit, field);
    return edit;
}

QLineEdit *NewOrderDialog::box(const char *name) const {
    return findChild<QLineEdit *>(QLatin1String(name));
}

void NewOrderDialog::lookUp() {
    std::optional<OrderTitle> title;
    try {
        title = shop::orderTitle(session_->connection(), box("txtISBN")->text());
    } catch (const DataError &error) {
        found_->setText(error.sentence());
        return;
    }
    for (const char *name : {"txtTitle", "txtAuthor", "txtPublisher"})
        box(name)->setReadOnly(title.has_value());
    if (!title) {
        found_->setText(box("txtISBN")->text().trimmed().isEmpty()
                            ? QString()
                            : QStringLiteral("Not in the catalogue: describe the title to add "
                                             "it."));
        return;
    }
    found_->setText(QStringLiteral("In the catalogue: %1 in stock, %2 set aside.")
                        .arg(title->stock)
                        .arg(title->held));
    box("txtTitle")->setText(title->title);
    box("txtPrice")->setText(title->price.text());
    if (box("txtSupplier")->text().trimmed().isEmpty())
        box("txtSupplier")->setText(title->supplier);
}

bool NewOrderDialog::take() {
    NewOrder order;
    for (const auto &[edit, field] : fields_)
        order.*field = edit->text();
    order.quantity = quantity_->value();
    order.at = context_.clock->now();
    if (promisedOn_->isChecked())
        order.promised = promised_->date();
    const QString price = box("txtPrice")->text().trimmed();
    if (!price.isEmpty()) {
        order.price = Money::parse(price);
        if (!order.price) {
            context_.messages->inform(
                QStringLiteral("The price \"%1\" is not an amount of money.").arg(price));
            box("txtPrice")->setFocus();
            return false;
        }
    }
    if (const auto reading = isbn::read(order.isbn); reading && !reading->checkDigitValid()) {
        if (!context_.messages->confirm(
                isbn::checkDigitProblem(order.isbn.trimmed(), *reading) +
                QStringLiteral(" Keep the ISBN as typed (OK) or go back to mend it (Cancel)?"))) {
            box("txtISBN")->setFocus();
            return false;
        }
        order.keepWrongCheckDigit = true;
    }
    try {
        shop::takeOrder(*session_, order);
    } catch (const DataError &error) {
        context_.messages->inform(error.sentence());
        return false;
    }
    accept();
    return true;
}
