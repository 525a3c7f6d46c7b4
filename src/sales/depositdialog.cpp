// The deposit's amount and method.
#include "depositdialog.h"

#include "receipts.h"
#include "screenheading.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

DepositDialog::DepositDialog(const QString &question, const std::vector<PaymentMethod> &methods,
                             QWidget *parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("dlgDeposit"));
    setWindowTitle(QStringLiteral("Take Deposit"));
    amount_ = named<QLineEdit>("txtAmount", this);
    methods_ = named<QComboBox>("cboMethod", this);
    for (const PaymentMethod &method : methods)
        methods_->addItem(method.name, method.id);
    auto *form = new QFormLayout;
    form->addRow(captionFor(QStringLiteral("&Amount:"), amount_, this), amount_);
    form->addRow(captionFor(QStringLiteral("Paid &by:"), methods_, this), methods_);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *page = new QVBoxLayout(this);
    page->addWidget(new QLabel(question, this));
    page->addLayout(form);
    page->addWidget(buttons);
}

std::optional<Money> DepositDialog::amount() const {
    return Money::parse(amount_->text().trimmed());
}

qint64 DepositDialog::method() const {
    return methods_->currentData().toLongLong();
}
