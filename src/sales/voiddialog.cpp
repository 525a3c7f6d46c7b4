// The void window of the counter.
#include "voiddialog.h"

#include "counterbox.h"
#include "messageboxes.h"
#include "receiptrecord.h"
#include "screenheading.h"
#include "tender.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

VoidDialog::VoidDialog(const QString &readable, const std::vector<ReceiptLineRecord> &lines,
                       const std::set<int> &voided, MessageBoxes &messages, Store store,
                       QWidget *parent)
    : QDialog(parent), messages_(messages), store_(std::move(store)),
      choices_(named<QListWidget>("lstVoid", this)), reason_(named<QLineEdit>("txtReason", this)) {
    setObjectName(QStringLiteral("dlgVoid"));
    setWindowTitle(QStringLiteral("Void"));
    counterbox::enlarge(choices_, 12);
    choices_->addItem(QStringLiteral("The whole receipt %1").arg(readable));
    lineOfRow_.push_back(0);
    for (const ReceiptLineRecord &line : lines) {
        if (voided.count(line.line) != 0)
            continue;
        choices_->addItem(QStringLiteral("%1   %2 x %3 = %4")
                              .arg(line.title, QString::number(line.quantity),
                                   tender::shown(line.price),
                                   tender::shown(line.price.times(line.quantity))));
        lineOfRow_.push_back(line.line);
    }
    choices_->setCurrentRow(choices_->count() - 1); // most often the line just rung up
    QLabel *choicesCaption = captionFor(QStringLiteral("&What to void:"), choices_, this);
    reason_->setMaxLength(counterbox::longestReason);
    reason_->setPlaceholderText(QStringLiteral("such as: scanned twice, customer changed mind"));
    QLabel *reasonCaption = captionFor(QStringLiteral("&Reason:"), reason_, this);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    auto *voidButton = buttons->addButton(QStringLiteral("&Void"), QDialogButtonBox::AcceptRole);
    voidButton->setObjectName(QStringLiteral("cmdVoid"));
    voidButton->setDefault(true);
    connect(voidButton, &QPushButton::clicked, this, [this] {
        if (voidChosen())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Enter on the list goes on to the reason; Enter there voids.
    connect(choices_, &QListWidget::itemActivated, reason_, [this] { reason_->setFocus(); });

    auto *page = new QVBoxLayout(this);
    page->addWidget(choicesCaption);
    page->addWidget(choices_, 1);
    page->addWidget(reasonCaption);
    page->addWidget(reason_);
    page->addWidget(buttons);
    resize(520, 360);
    choices_->setFocus();
}

void VoidDialog::choose(int row) {
    choices_->setCurrentRow(row);
}

bool VoidDialog::voidChosen() {
    const int row = choices_->currentRow();
    if (row < 0 || row >= static_cast<int>(lineOfRow_.size())) {
        messages_.inform(QStringLiteral("Choose the line to void, or the whole receipt."));
        choices_->setFocus();
        return false;
    }
    if (reason_->text().trimmed().isEmpty()) {
        messages_.inform(QStringLiteral("Type the reason for the void: it is kept with it."));
        reason_->setFocus();
        return false;
    }
    return store_(lineOfRow_[static_cast<std::size_t>(row)], reason_->text().trimmed());
}
