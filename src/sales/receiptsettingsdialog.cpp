// The receipt settings dialog: the fields and OK/Cancel.
#include "receiptsettingsdialog.h"

#include "screenheading.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QLocale>

ReceiptSettingsDialog::ReceiptSettingsDialog(const ReceiptSettings &settings,
                                             const QString &loginName, QWidget *parent)
    : QDialog(parent), shopName_(named<QLineEdit>("txtShopName", settings.shopName, this)),
      footer_(named<QLineEdit>("txtFooter", settings.footer, this)),
      paper_(named<QComboBox>("cboPaper", this)),
      currency_(named<QLineEdit>("txtCurrency", settings.currency, this)),
      printServedBy_(named<QCheckBox>("chkServedBy", QStringLiteral("Print who &served"), this)),
      servedBy_(named<QLineEdit>("txtServedBy", settings.servedBy, this)) {
    setObjectName(QStringLiteral("dlgReceiptSettings"));
    setWindowTitle(QStringLiteral("Receipt Settings"));
    footer_->setPlaceholderText(QStringLiteral("such as: Thank you! Returns within 14 days"));
    paper_->addItems(receipt::paperNames());
    paper_->setCurrentText(receipt::paperName(settings.paper));
    const QString localSign = QLocale().currencySymbol();
    currency_->setPlaceholderText(localSign.isEmpty()
                                      ? QStringLiteral("none: amounts print without a sign")
                                      : QStringLiteral("as the system has it: %1").arg(localSign));
    printServedBy_->setChecked(settings.printServedBy);
    servedBy_->setPlaceholderText(loginName.isEmpty()
                                      ? QStringLiteral("a name for this till")
                                      : QStringLiteral("the login's name: %1").arg(loginName));
    servedBy_->setEnabled(settings.printServedBy);
    connect(printServedBy_, &QCheckBox::toggled, servedBy_, &QWidget::setEnabled);
    shopName_->setMinimumWidth(320);

    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("Shop &name:"), shopName_);
    form->addRow(QStringLiteral("&Footer line:"), footer_);
    form->addRow(QStringLiteral("&Paper:"), paper_);
    form->addRow(QStringLiteral("&Currency sign:"), currency_);
    form->addRow(printServedBy_);
    form->addRow(QStringLiteral("Served &by:"), servedBy_);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

ReceiptSettings ReceiptSettingsDialog::settings() const {
    return {shopName_->text(),
            footer_->text(),
            receipt::paperFromName(paper_->currentText()),
            currency_->text().trimmed(),
            servedBy_->text().trimmed(),
            printServedBy_->isChecked()};
}
