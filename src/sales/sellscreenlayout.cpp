// The counter screen's controls: built, named, captioned and laid out as the shop's counter
// has them.
#include "sellscreen.h"

#include "counterbox.h"
#include "counteroffline.h"
#include "counterpayments.h"
#include "counterreturns.h"
#include "countersession.h"

#include "receiptcommands.h"
#include "receiptlist.h"
#include "screenheading.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel *label(QWidget *parent, const QString &name, const QString &text, const QFont &font) {
    auto *result = new QLabel(text, parent);
    result->setObjectName(name);
    result->setFont(font);
    return result;
}

// A box that shows a value (the looked-up title, a price, the total) is heard by a screen
// reader as that value; its caption is its label and its description, never its name.
void captionValueBox(QLabel *caption, QLabel *box) {
    caption->setBuddy(box);
    box->setAccessibleName(QString()); // the shown text is the name
    box->setAccessibleDescription(caption->text().remove(QLatin1Char('&')).trimmed());
}

// A field of the lookup display: framed, so an empty field still shows where it is.
QLabel *displayField(QWidget *parent, const QString &name) {
    QLabel *field = label(parent, name, QString(), arialFont(12));
    field->setFrameShape(QFrame::Box);
    field->setMinimumHeight(field->fontMetrics().height() + 6);
    return field;
}

} // namespace

void SellScreen::buildControls() {
    counterbox::colour(this, QPalette::Window, QColor(0x00, 0xFF, 0xFF));

    QLabel *heading = label(this, QStringLiteral("Label5"), QStringLiteral("SELLING   CD & BOOKs"),
                            arialFont(18, true));
    counterbox::colour(heading, QPalette::WindowText, QColor(0x00, 0x00, 0x80));

    isbnEdit_ = named<QLineEdit>("Text1", this);
    isbnEdit_->setMinimumWidth(180);
    quantityEdit_ = named<QLineEdit>("Text2", QStringLiteral("1"), this);
    label(this, QStringLiteral("Label1"), QStringLiteral("&ISBN ="), arialFont(12))
        ->setBuddy(isbnEdit_);
    label(this, QStringLiteral("lblLabels_0"), QStringLiteral("&Quantity="), arialFont(12))
        ->setBuddy(quantityEdit_);
    listButton_ = stepButton("Command1", QStringLiteral("&List"), this, &SellScreen::lookup);
    okButton_ = stepButton("Command2", QStringLiteral("&OK"), this, &SellScreen::recordSale);
    findButton_ =
        stepButton("cmdDoYouHave", QStringLiteral("Do &you have…?"), this, &SellScreen::findTitle);
    findButton_->setToolTip(QStringLiteral("Search the catalogue by words of the title or the "
                                           "author, or by ISBN (F3)"));
    counterbox::onKey(this, Qt::Key_F3, this, [this] { findTitle(); });
    // The customers who ordered the title on display, when any did: the one asking may be one.
    ordersHint_ = label(this, QStringLiteral("lblOrders"), QString(), arialFont(10, true));
    ordersHint_->setWordWrap(true);
    counterbox::onKey(this, Qt::Key_F5, this, [this] { collectOrder(); });

    const std::pair<const char *, const char *> lookupCaptions[] = {
        {"lblLabels_11", "ISBN:"},
        {"lblLabels_12", "BOOK(CD) TITLE:"},
        {"lblLabels_14", "PRICE:"},
        {"lblLabels_2", "QUANTITY:"},
        {"lblLabels_1", "Subtotal:"}};
    for (const auto &[name, text] : lookupCaptions)
        label(this, QString::fromLatin1(name), QString::fromLatin1(text), arialFont(12));
    QLabel *onSaleCaption =
        label(this, QStringLiteral("Label4"), QStringLiteral("ON SALE"), arialFont(12, true));
    counterbox::colour(onSaleCaption, QPalette::WindowText, Qt::red);

    for (int i = 0; i < 5; ++i)
        display_[static_cast<std::size_t>(i)] =
            displayField(this, QStringLiteral("Label3_%1").arg(i));
    display_[0]->setMinimumWidth(display_[0]->fontMetrics().horizontalAdvance("9780000000000") +
                                 12);
    display_[1]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred); // long titles
    display_[1]->setMinimumWidth(160);
    onSalePrice_ = displayField(this, QStringLiteral("Label2"));
    counterbox::colour(onSalePrice_, QPalette::Window, QColor(0xFF, 0xC0, 0xC0));

    const char *const listNames[] = {"lblLabels_3", "lblLabels_4", "lblLabels_5", "lblLabels_6"};
    const char *const listTexts[] = {"BOOK TITLE:", "PRICE:", "QUANTITY:", "Subtotal:"};
    for (std::size_t i = 0; i < listCaptions_.size(); ++i)
        listCaptions_[i] = label(this, QString::fromLatin1(listNames[i]),
                                 QString::fromLatin1(listTexts[i]), arialFont(9));
    receipt_ = named<ReceiptList>("Pic", this);
    receipt_->setAccessibleName(QStringLiteral("Customer's list"));
    // Title, the empty item, price, quantity, subtotal: under the captions also for short titles.
    receipt_->setItemZones({0, 2, 3, 4, 5});
    connect(receipt_, &ReceiptList::zonesChanged, this, &SellScreen::alignListCaptions);

    label(this, QStringLiteral("Label7"), QStringLiteral("Total="), arialFont(12));
    totalLabel_ = displayField(this, QStringLiteral("Label6"));
    nextButton_ =
        stepButton("Command3", QStringLiteral("&Next Customer"), this, &SellScreen::nextCustomer);

    // The counter is worked from the keyboard and a scanner: Enter in the ISBN box looks up,
    // then books; Enter after a quantity looks up with it, the ISBN box ready to book it.
    connect(isbnEdit_, &QLineEdit::returnPressed, this, &SellScreen::isbnEntered);
    connect(quantityEdit_, &QLineEdit::returnPressed, this, [this] {
        lookup();
        if (lookedUp_)
            readyForScan();
    });
    connect(quantityEdit_, &QLineEdit::textEdited, this, [this] { quantityTaken_ = false; });
    connect(sessions_, &CounterSession::changed, this, &SellScreen::focusWhereNeeded);
    connect(returns_, &CounterReturns::done, this, &SellScreen::readyForScan);
    focusWhereNeeded();
    new ReceiptCommands(this, context_, [this] { return customerReceipt(); });
    connect(payments_, &CounterPayments::linesShown, this, &SellScreen::showReceiptLines);
}

void SellScreen::arrangeControls() {
    auto find = [this](const char *name) { return findChild<QLabel *>(QString::fromLatin1(name)); };
    auto *entry = new QHBoxLayout;
    entry->addWidget(find("Label1"));
    entry->addWidget(isbnEdit_, 3);
    entry->addSpacing(16);
    entry->addWidget(find("lblLabels_0"));
    entry->addWidget(quantityEdit_, 1);
    entry->addSpacing(16);
    entry->addWidget(listButton_);
    entry->addStretch(2);
    entry->addWidget(findButton_);

    auto *shown = new QGridLayout;
    const char *const captions[] = {"lblLabels_11", "lblLabels_12", "lblLabels_14",
                                    "lblLabels_2",  "Label4",       "lblLabels_1"};
    QLabel *const fields[] = {display_[0], display_[1],  display_[2],
                              display_[3], onSalePrice_, display_[4]};
    for (int column = 0; column < 6; ++column) {
        shown->addWidget(find(captions[column]), 0, column);
        shown->addWidget(fields[column], 1, column);
        captionValueBox(find(captions[column]), fields[column]);
    }
    shown->addWidget(okButton_, 1, 6);
    shown->setColumnStretch(0, 2);
    shown->setColumnStretch(1, 4);
    for (int column = 2; column < 6; ++column)
        shown->setColumnStretch(column, 1);

    QHBoxLayout *listHeading = buttonRow(
        {listCaptions_[0], listCaptions_[1], listCaptions_[2], listCaptions_[3], rowStretch});
    listHeading->setSpacing(0);

    captionValueBox(find("Label7"), totalLabel_);
    totalLabel_->setMinimumWidth(120);
    QHBoxLayout *total =
        buttonRow({find("Label7"), totalLabel_, payments_->numberLabel(), rowStretch,
                   returns_->refundButton(), returns_->voidButton(), payments_->unpaidButton(),
                   payments_->payButton(), nextButton_});

    auto *page = new QVBoxLayout(this);
    page->addWidget(find("Label5"), 0, Qt::AlignHCenter);
    page->addSpacing(8);
    page->addWidget(sessions_->strip());
    page->addWidget(offline_->status());
    page->addLayout(entry);
    page->addSpacing(12);
    page->addLayout(shown);
    page->addWidget(ordersHint_);
    page->addSpacing(16);
    page->addLayout(listHeading);
    page->addWidget(receipt_, 1);
    page->addLayout(total);
    alignListCaptions();
}

// The list's captions stand over the zones where the items are printed: the title in the
// first, price, quantity and subtotal in the fourth, fifth and sixth.
void SellScreen::alignListCaptions() {
    const int zone = receipt_->zoneWidth();
    listCaptions_[0]->setContentsMargins(receipt_->zoneStart(0), 0, 0, 0);
    listCaptions_[0]->setFixedWidth(receipt_->zoneStart(3));
    listCaptions_[1]->setFixedWidth(zone);
    listCaptions_[2]->setFixedWidth(zone);
    if (layout() != nullptr)
        layout()->activate(); // in place at once, also when the zones widen during a sale
}

void SellScreen::showEvent(QShowEvent *event) {
    alignListCaptions(); // the list's frame is known for sure once it is styled
    QWidget::showEvent(event);
}
