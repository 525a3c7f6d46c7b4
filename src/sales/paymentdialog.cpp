// The payment window of the counter.
#include "paymentdialog.h"

#include "clock.h"
#include "counterbox.h"
#include "messageboxes.h"
#include "screenheading.h"
#include "tender.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel *largeLabel(const char *name, int points, QWidget *parent) {
    auto *label = named<QLabel>(name, parent);
    counterbox::enlarge(label, points, true);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

} // namespace

PaymentDialog::PaymentDialog(CounterReceipt &receipt, std::vector<PaymentMethod> methods,
                             CashRounding rounding, MessageBoxes &messages, const Clock &clock,
                             Store store, QWidget *parent)
    : QDialog(parent), receipt_(receipt), methods_(std::move(methods)), rounding_(rounding),
      messages_(messages), clock_(clock), store_(std::move(store)) {
    setObjectName(QStringLiteral("frmPayment"));
    setWindowTitle(QStringLiteral("Take Payment"));
    setMinimumWidth(380); // the large amounts and the change read across the counter
    total_ = largeLabel("lblTotal", 16, this);
    due_ = largeLabel("lblDue", 28, this);
    change_ = largeLabel("lblChange", 28, this);
    method_ = named<QComboBox>("cboMethod", this);
    for (const PaymentMethod &method : methods_)
        method_->addItem(method.name);
    amount_ = named<QLineEdit>("txtAmount", this);
    tendered_ = named<QLineEdit>("txtTendered", this);
    take_ = stepButton("cmdTake", QStringLiteral("&Take Payment"), this, [this] { take(); });
    take_->setDefault(true);
    done_ = stepButton("cmdDone", QStringLiteral("&Done"), this, &QDialog::reject);

    auto *form = new QFormLayout;
    const auto row = [&](const QString &caption, QWidget *field) {
        form->addRow(captionFor(caption, field, this), field);
    };
    row(QStringLiteral("Receipt total:"), total_);
    row(QStringLiteral("To pay:"), due_);
    row(QStringLiteral("&Method:"), method_);
    row(QStringLiteral("&Amount paid:"), amount_);
    row(QStringLiteral("Cash t&endered:"), tendered_);
    row(QStringLiteral("Change:"), change_);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(take_, QDialogButtonBox::ActionRole);
    buttons->addButton(done_, QDialogButtonBox::RejectRole);
    auto *page = new QVBoxLayout(this);
    page->addLayout(form);
    page->addWidget(buttons);

    connect(method_, &QComboBox::currentIndexChanged, this, [this] { showState(); });
    showState();
    tendered_->setFocus();
}

const PaymentMethod &PaymentDialog::method() const {
    return methods_.at(static_cast<std::size_t>(std::max(0, method_->currentIndex())));
}

void PaymentDialog::chooseMethod(int index) {
    method_->setCurrentIndex(index);
}

QString PaymentDialog::changeText() const {
    return change_->text();
}

QString PaymentDialog::dueText() const {
    return due_->text();
}

// The sums as they stand, the amount box holding what is due in the chosen method, and the
// tender only for cash.
void PaymentDialog::showState() {
    total_->setText(tender::shown(receipt_.total()));
    const bool paid = receipt_.isPaid();
    if (methods_.empty() || paid) {
        due_->setText(tender::shown(Money()));
        take_->setEnabled(false);
        method_->setEnabled(false);
        amount_->setEnabled(false);
        tendered_->setEnabled(false);
        done_->setDefault(true);
        done_->setFocus();
        return;
    }
    const Money due = tender::dueIn(method().kind, receipt_.remaining(), rounding_);
    due_->setText(tender::shown(due));
    amount_->setText(tender::shown(due));
    const bool cash = method().kind == MethodKind::Cash;
    tendered_->setEnabled(cash);
    if (!cash)
        tendered_->clear();
}

bool PaymentDialog::take() {
    if (methods_.empty() || receipt_.isPaid())
        return false;
    const PaymentMethod chosen = method();
    const auto taken = tender::take(chosen.kind, receipt_.remaining(), rounding_, amount_->text(),
                                    tendered_->text());
    if (const QString *why = std::get_if<QString>(&taken)) {
        messages_.inform(*why);
        QLineEdit *box = why->contains(QLatin1String("tendered")) ? tendered_ : amount_;
        counterbox::focusSelected(box);
        return false;
    }
    const tender::Taken &parts = std::get<tender::Taken>(taken);
    const ReceiptRecord next = receipt_.withPayment(chosen.id, parts, clock_.now());
    if (!store_(next)) {
        // The receipt may have been read again from the shop: its sums are shown anew, and
        // what the operator typed stays in its boxes.
        const QString amount = amount_->text(), tendered = tendered_->text();
        showState();
        amount_->setText(amount);
        tendered_->setText(tendered);
        return false;
    }
    change_->setText(tender::shown(parts.given));
    tendered_->clear();
    showState();
    return true;
}
