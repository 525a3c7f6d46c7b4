// Builds the New Shop box: the question naming the place, the two kinds of shop, two buttons.
#include "newshopdialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

NewShopDialog::NewShopDialog(const QString &path, QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmNewShop"));
    setWindowTitle(QStringLiteral("New Shop"));

    auto *question = new QLabel(
        QStringLiteral("There is no shop at %1 yet.\nWhich shop shall Quillmart make there?")
            .arg(path),
        this);
    question->setObjectName(QStringLiteral("lblQuestion"));
    question->setTextInteractionFlags(Qt::TextSelectableByMouse);

    // A real shop must not start with made-up sales in it, so the empty shop comes first.
    auto *empty = new QRadioButton(
        QStringLiteral("&An empty shop, for your own titles, suppliers and sales"), this);
    empty->setObjectName(QStringLiteral("optEmpty"));
    empty->setChecked(true);
    demo_ = new QRadioButton(QStringLiteral("The &demo shop: made-up titles, suppliers, offers, "
                                            "bills and sales, to try Quillmart out"),
                             this);
    demo_->setObjectName(QStringLiteral("optDemo"));

    payments_ = new QCheckBox(QStringLiteral("&Take payment at the counter: numbered receipts, "
                                             "paid in cash, by card or another method"),
                              this);
    payments_->setObjectName(QStringLiteral("chkPayments"));

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok =
        buttons->addButton(QStringLiteral("&Make Shop"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    QPushButton *cancel =
        buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(10);
    layout->addWidget(question);
    layout->addSpacing(4);
    layout->addWidget(empty);
    layout->addWidget(demo_);
    layout->addSpacing(8);
    layout->addWidget(payments_);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}

shopfile::Contents NewShopDialog::contents() const {
    return demo_->isChecked() ? shopfile::Contents::Demo : shopfile::Contents::Empty;
}

bool NewShopDialog::paymentsOn() const {
    return payments_->isChecked();
}
