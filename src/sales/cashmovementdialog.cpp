// The Cash In and Cash Out window of the counter.
#include "cashmovementdialog.h"

#include "counterbox.h"
#include "messageboxes.h"
#include "screenheading.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CashMovementDialog::CashMovementDialog(bool in, MessageBoxes &messages, Record record,
                                       QWidget *parent)
    : QDialog(parent), in_(in), messages_(messages), record_(std::move(record)),
      amount_(named<QLineEdit>("txtAmount", this)), reason_(named<QLineEdit>("txtReason", this)) {
    setObjectName(in ? QStringLiteral("dlgCashIn") : QStringLiteral("dlgCashOut"));
    setWindowTitle(in ? QStringLiteral("Cash In") : QStringLiteral("Cash Out"));
    auto *intro = new QLabel(in ? QStringLiteral("Cash put into the drawer, such as change from "
                                                 "the bank.")
                                : QStringLiteral("Cash taken out of the drawer, such as takings "
                                                 "to the safe or a payment made from it."),
                             this);
    intro->setWordWrap(true);
    counterbox::enlarge(amount_, 16, true);
    amount_->setAlignment(Qt::AlignRight);
    reason_->setMaxLength(counterbox::longestReason);
    reason_->setPlaceholderText(in ? QStringLiteral("such as: change from the bank")
                                   : QStringLiteral("such as: takings to the safe"));
    auto *form = new QFormLayout;
    form->addRow(captionFor(QStringLiteral("&Amount:"), amount_, this), amount_);
    form->addRow(captionFor(QStringLiteral("&Reason:"), reason_, this), reason_);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton *ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("cmdRecord"));
    ok->setText(in ? QStringLiteral("Record Cash &In") : QStringLiteral("Record Cash &Out"));
    connect(ok, &QPushButton::clicked, this, [this] {
        if (recordMovement())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    ok->setDefault(true);
    counterbox::onEnter(amount_, [this, ok] {
        if (reason_->text().trimmed().isEmpty())
            reason_->setFocus();
        else
            ok->click();
    });
    auto *page = new QVBoxLayout(this);
    page->addWidget(intro);
    page->addLayout(form);
    page->addWidget(buttons);
    setMinimumWidth(420);
    amount_->setFocus();
}

bool CashMovementDialog::recordMovement() {
    const std::optional<Money> amount = counterbox::read(amount_, messages_,
                                                         in_ ? QStringLiteral("The cash put in")
                                                             : QStringLiteral("The cash taken out"),
                                                         counterbox::Least::MoreThanZero);
    if (!amount)
        return false;
    if (reason_->text().trimmed().isEmpty()) {
        messages_.inform(QStringLiteral("Type the reason for the cash %1: the cash-up shows it.")
                             .arg(in_ ? QStringLiteral("put in") : QStringLiteral("taken out")));
        reason_->setFocus();
        return false;
    }
    return record_(*amount, reason_->text().trimmed());
}
