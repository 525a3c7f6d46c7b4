// The receipt settings dialog: three fields and OK/Cancel.
#include "receiptsettingsdialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

ReceiptSettingsDialog::ReceiptSettingsDialog(const ReceiptSettings &settings, QWidget *parent)
    : QDialog(parent), shopName_(new QLineEdit(settings.shopName, this)),
      footer_(new QLineEdit(settings.footer, this)), paper_(new QComboBox(this)) {
    setObjectName(QStringLiteral("dlgReceiptSettings"));
    setWindowTitle(QStringLiteral("Receipt Settings"));
    shopName_->setObjectName(QStringLiteral("txtShopName"));
    footer_->setObjectName(QStringLiteral("txtFooter"));
    footer_->setPlaceholderText(QStringLiteral("such as: Thank you! Returns within 14 days"));
    paper_->setObjectName(QStringLiteral("cboPaper"));
    for (receipt::Paper paper : receipt::allPapers())
        paper_->addItem(receipt::paperName(paper));
    paper_->setCurrentText(receipt::paperName(settings.paper));
    shopName_->setMinimumWidth(320);

    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("Shop &name:"), shopName_);
    form->addRow(QStringLiteral("&Footer line:"), footer_);
    form->addRow(QStringLiteral("&Paper:"), paper_);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

ReceiptSettings ReceiptSettingsDialog::settings() const {
    return {shopName_->text(), footer_->text(), receipt::paperFromName(paper_->currentText())};
}
