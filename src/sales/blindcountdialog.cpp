// The blind count of a session's closing.
#include "blindcountdialog.h"

#include "counterbox.h"
#include "screenheading.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString countCaption(const PaymentMethod &method) {
    switch (method.kind) {
    case MethodKind::Cash:
        return QStringLiteral("Cash in the drawer:");
    case MethodKind::Card:
        return QStringLiteral("%1 (the machine's slip):").arg(method.name);
    case MethodKind::Other:
        break;
    }
    return method.name + QLatin1Char(':');
}

} // namespace

BlindCountDialog::BlindCountDialog(const QString &session, std::vector<PaymentMethod> methods,
                                   MessageBoxes &messages, Close close, QWidget *parent)
    : QDialog(parent), methods_(std::move(methods)), messages_(messages), close_(std::move(close)) {
    setObjectName(QStringLiteral("dlgBlindCount"));
    setWindowTitle(QStringLiteral("Close the Session"));
    auto *intro = new QLabel(
        QStringLiteral("Closing %1. Count what the till holds of each payment method and type "
                       "it below; Enter goes to the next. What the till should hold is shown "
                       "once the session is closed, in its Z report.")
            .arg(session),
        this);
    intro->setWordWrap(true);
    auto *form = new QFormLayout;
    for (std::size_t i = 0; i < methods_.size(); ++i) {
        auto *box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("txtCount_%1").arg(i));
        box->setAlignment(Qt::AlignRight);
        counterbox::enlarge(box, 16, true);
        QLabel *caption = captionFor(countCaption(methods_[i]), box, this);
        box->setAccessibleName(QStringLiteral("Count of %1").arg(methods_[i].name));
        counterbox::enlarge(caption, 12);
        form->addRow(caption, box);
        boxes_.push_back(box);
        counterbox::onEnter(box, [this, i] { next(i); });
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    auto *closeButton =
        buttons->addButton(QStringLiteral("&Close Session"), QDialogButtonBox::AcceptRole);
    closeButton->setObjectName(QStringLiteral("cmdCloseCounted"));
    connect(closeButton, &QPushButton::clicked, this, [this] {
        if (closeSession())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    closeButton->setDefault(true);
    auto *page = new QVBoxLayout(this);
    page->addWidget(intro);
    page->addLayout(form);
    page->addWidget(buttons);
    setMinimumWidth(460);
    if (!boxes_.empty())
        boxes_.front()->setFocus();
}

void BlindCountDialog::next(std::size_t index) {
    if (index + 1 < boxes_.size())
        counterbox::focusSelected(boxes_[index + 1]);
    else if (closeSession())
        accept();
}

bool BlindCountDialog::closeSession() {
    std::vector<CountedAmount> counted;
    for (std::size_t i = 0; i < methods_.size(); ++i) {
        const std::optional<Money> amount = counterbox::read(
            boxes_[i], messages_, QStringLiteral("The count of %1").arg(methods_[i].name));
        if (!amount)
            return false;
        counted.push_back({methods_[i].id, *amount});
    }
    return close_(counted);
}
