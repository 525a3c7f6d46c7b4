// The refund window of the counter: the two ways to find what is given back, the reason, the
// method, and the amount given.
#include "refunddialog.h"

#include "clock.h"
#include "conversions.h"
#include "counterbox.h"
#include "errorpolicy.h"
#include "messageboxes.h"
#include "recordsource.h"
#include "screenheading.h"
#include "shoptables.h"
#include "tender.h"
#include "titlelookup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QUuid>
#include <QVBoxLayout>
#include <cmath>

namespace {

// A whole number of copies, at least 1; none for anything else.
std::optional<qint64> copiesOf(const QString &text) {
    const std::optional<double> number = conv::parseNumber(text.trimmed());
    if (!number || std::floor(*number) != *number || *number < 1 || *number > 1e9)
        return std::nullopt;
    return static_cast<qint64>(*number);
}

} // namespace

RefundDialog::RefundDialog(std::shared_ptr<ShopSession> session, std::vector<RefundReason> reasons,
                           std::vector<PaymentMethod> methods, MessageBoxes &messages,
                           const Clock &clock, Store store, QWidget *parent)
    : QDialog(parent), reasons_(std::move(reasons)), methods_(std::move(methods)),
      messages_(messages), clock_(clock), store_(std::move(store)),
      titles_(new RecordSource(QStringLiteral("adoRefundTitle"), std::move(session), this)),
      id_(QUuid::createUuid().toString(QUuid::WithoutBraces)) {
    setObjectName(QStringLiteral("dlgRefund"));
    setWindowTitle(QStringLiteral("Refund"));
    tabs_ = named<QTabWidget>("tabRefund", this);
    tabs_->addTab(buildReceiptPage(), QStringLiteral("&With a receipt"));
    tabs_->addTab(buildIsbnPage(), QStringLiteral("With&out a receipt"));

    reason_ = named<QComboBox>("cboReason", this);
    for (const RefundReason &reason : reasons_)
        reason_->addItem(reason.name);
    reason_->setPlaceholderText(QStringLiteral("choose the reason"));
    reason_->setCurrentIndex(-1); // chosen, never taken by default
    method_ = named<QComboBox>("cboMethod", this);
    for (const PaymentMethod &method : methods_)
        method_->addItem(method.name);
    amount_ = named<QLabel>("lblGiven", this);
    counterbox::enlarge(amount_, 24, true);
    amount_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto *form = new QFormLayout;
    form->addRow(captionFor(QStringLiteral("Rea&son:"), reason_, this), reason_);
    QLabel *methodCaption = captionFor(QStringLiteral("&Money back by:"), method_, this);
    form->addRow(methodCaption, method_);
    methodCaption->setVisible(!methods_.empty());
    method_->setVisible(!methods_.empty());
    auto *amountCaption = named<QLabel>("lblGivenCaption", QStringLiteral("To give back:"), this);
    counterbox::enlarge(amountCaption, 14);
    form->addRow(amountCaption, amount_);
    amount_->setAccessibleName(QStringLiteral("Amount to give back"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    refund_ = buttons->addButton(QStringLiteral("&Refund"), QDialogButtonBox::ActionRole);
    refund_->setObjectName(QStringLiteral("cmdRefund"));
    refund_->setDefault(true);
    connect(refund_, &QPushButton::clicked, this, [this] { refund(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(tabs_, &QTabWidget::currentChanged, this, [this] { showAmount(); });
    connect(reason_, &QComboBox::activated, refund_, [this] { refund_->setFocus(); });

    auto *page = new QVBoxLayout(this);
    page->addWidget(tabs_, 1);
    page->addLayout(form);
    page->addWidget(buttons);
    resize(760, 480);
    receiptNumber_->setFocus();
    showAmount();
}

RefundDialog::~RefundDialog() = default;

void RefundDialog::setByReceiptOnly(const QString &why) {
    tabs_->setCurrentIndex(0);
    tabs_->setTabEnabled(1, false);
    tabs_->setTabToolTip(1, why);
}

QWidget *RefundDialog::buildIsbnPage() {
    auto *page = new QWidget(this);
    isbn_ = named<QLineEdit>("txtIsbn", page);
    counterbox::enlarge(isbn_, 14, true);
    auto *find = named<QPushButton>("cmdFindTitle", QStringLiteral("F&ind"), page);
    titleShown_ = named<QLabel>("lblTitle", page);
    titleShown_->setWordWrap(true);
    counterbox::enlarge(titleShown_, 12, true);
    price_ = named<QLineEdit>("txtPrice", page);
    copies_ = named<QLineEdit>("txtCopies", QStringLiteral("1"), page);
    damaged_ =
        named<QCheckBox>("chkDamaged", QStringLiteral("&Damaged: not back into stock"), page);
    auto *row = new QHBoxLayout;
    row->addWidget(captionFor(QStringLiteral("&ISBN:"), isbn_, page));
    row->addWidget(isbn_, 1);
    row->addWidget(find);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Title:"), titleShown_);
    priceLimit_ = named<QLabel>("lblPriceLimit", page);
    for (QLineEdit *box : {price_, copies_}) {
        counterbox::enlarge(box, 14, true);
        box->setAlignment(Qt::AlignRight);
        box->setMaximumWidth(180);
    }
    auto *priceRow = new QHBoxLayout;
    priceRow->addWidget(price_);
    priceRow->addWidget(priceLimit_, 1);
    form->addRow(captionFor(QStringLiteral("&Price each:"), price_, page), priceRow);
    form->addRow(captionFor(QStringLiteral("&Copies:"), copies_, page), copies_);
    form->addRow(damaged_);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(row);
    layout->addLayout(form);
    layout->addStretch(1);
    connect(find, &QPushButton::clicked, this, [this] { findTitle(); });
    counterbox::onEnter(isbn_, [this] { findTitle(); });
    counterbox::onEnter(price_, [this] { counterbox::focusSelected(copies_); });
    counterbox::onEnter(copies_, [this] { reason_->setFocus(); });
    connect(price_, &QLineEdit::textChanged, this, [this] { showAmount(); });
    connect(copies_, &QLineEdit::textChanged, this, [this] { showAmount(); });
    return page;
}

bool RefundDialog::byReceipt() const {
    return tabs_->currentIndex() == 0;
}

bool RefundDialog::findTitle() {
    title_.reset();
    titleShown_->clear();
    priceLimit_->clear();
    bool found = false;
    policy::reportOnError(messages_, [this, &found] {
        if (!titlelookup::find(*titles_, isbn_->text().trimmed(), messages_))
            return;
        const std::optional<Money> price =
            Money::fromValue(titles_->value(tables::Titles::SalePrice));
        if (!price)
            throw DataError(QStringLiteral("The title \"%1\" has no sale price in the catalogue, "
                                           "so there is no price to give back.")
                                .arg(titles_->text(tables::Titles::Title)));
        title_ = Title{titles_->value(tables::Titles::BOOKNO).toLongLong(),
                       titles_->text(tables::Titles::ISBN), titles_->text(tables::Titles::Title),
                       *price};
        found = true;
    });
    if (!found) {
        counterbox::focusSelected(isbn_);
        showAmount();
        return false;
    }
    titleShown_->setText(title_->title);
    price_->setText(tender::shown(title_->price));
    priceLimit_->setText(QStringLiteral("at most %1, its counter price; lower it for a copy "
                                        "bought on offer or worn")
                             .arg(tender::shown(title_->price)));
    counterbox::focusSelected(price_);
    showAmount();
    return true;
}

void RefundDialog::startByIsbn(const QString &isbn, qint64 copies) {
    tabs_->setCurrentIndex(1);
    isbn_->setText(isbn);
    copies_->setText(QString::number(copies));
    // The copies typed at the counter stand; the price may be lowered.
    if (findTitle())
        counterbox::focusSelected(copies_);
}

std::optional<RefundLineRecord> RefundDialog::isbnLine() {
    if (!title_) {
        messages_.inform(QStringLiteral("Type the title's ISBN and press Enter: the title and "
                                        "its price show."));
        isbn_->setFocus();
        return std::nullopt;
    }
    const std::optional<Money> price =
        counterbox::read(price_, messages_, QStringLiteral("The price each"));
    if (!price)
        return std::nullopt;
    if (*price > title_->price) {
        messages_.inform(QStringLiteral("The price each may be lowered, not raised: at most %1 "
                                        "for \"%2\".")
                             .arg(tender::shown(title_->price), title_->title));
        counterbox::focusSelected(price_);
        return std::nullopt;
    }
    const std::optional<qint64> copies = copiesOf(copies_->text());
    if (!copies) {
        messages_.inform(QStringLiteral("The copies \"%1\" are not a whole number of copies. Type "
                                        "how many are given back, such as 1 or 2.")
                             .arg(copies_->text()));
        counterbox::focusSelected(copies_);
        return std::nullopt;
    }
    return RefundLineRecord{1,      0,       title_->bookNo,       title_->isbn, title_->title,
                            *price, *copies, damaged_->isChecked()};
}

bool RefundDialog::refund() {
    if (given_)
        return false;
    RefundRecord record;
    if (byReceipt()) {
        const auto lines = receiptLines();
        if (!lines)
            return false;
        record.receipt = receipt_->id;
        record.lines = *lines;
    } else {
        const auto line = isbnLine();
        if (!line)
            return false;
        record.lines = {*line};
    }
    if (reason_->currentIndex() < 0) {
        messages_.inform(QStringLiteral("Choose the reason for the refund from the list."));
        reason_->setFocus();
        return false;
    }
    record.id = id_;
    record.reason = reason_->currentText();
    if (!methods_.empty())
        record.method =
            methods_.at(static_cast<std::size_t>(std::max(0, method_->currentIndex()))).id;
    record.at = clock_.now();
    const std::optional<Money> given = store_(record);
    if (!given)
        return false;
    given_ = true;
    amount_->setText(QStringLiteral("Given back: %1").arg(tender::shown(*given)));
    for (QWidget *done : std::initializer_list<QWidget *>{tabs_, reason_, method_, refund_})
        done->setEnabled(false);
    if (auto *close = findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Close)) {
        close->setDefault(true);
        close->setFocus();
    }
    return true;
}

// What the lines chosen come to, as typed so far.
void RefundDialog::showAmount() {
    if (given_)
        return;
    Money sum;
    if (byReceipt()) {
        sum = receiptSum();
    } else if (title_) {
        const std::optional<Money> price = Money::parse(price_->text().trimmed());
        const std::optional<qint64> copies = copiesOf(copies_->text());
        if (price && copies)
            sum = price->times(*copies);
    }
    amount_->setText(tender::shown(sum));
}

QString RefundDialog::givenText() const {
    return amount_->text();
}
