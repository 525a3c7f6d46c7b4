// The counter screen: lookup, booking a sale, the customer's list and total.
#include "sellscreen.h"

#include "clock.h"
#include "conversions.h"
#include "counterpayments.h"
#include "dataerror.h"
#include "errorpolicy.h"
#include "isbnfinder.h"
#include "messageboxes.h"
#include "receiptcommands.h"
#include "receiptlist.h"
#include "recordsource.h"
#include "screenheading.h"
#include "screenids.h"
#include "shopsession.h"
#include "shoptables.h"
#include "stockquestion.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace {

const char *const notFound = "Cannot Find The BOOK Title ,Please check if the ISBN is correct.";
const char *const titleCaption = "BOOK TITLE:";
constexpr int receiptTitleLength = 25;
// Beyond any real sale; keeps the stock and the sales row in a whole-number range.
constexpr double largestQuantity = 1e9;

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

// Copies are counted whole: a sale of 2.5 copies could not be kept in stock or sales rows.
std::optional<qint64> copiesTyped(const QString &text) {
    const auto number = conv::parseNumber(text);
    if (!number || std::floor(*number) != *number || std::fabs(*number) > largestQuantity)
        return std::nullopt;
    return static_cast<qint64>(*number);
}

} // namespace

// Room for a 13-digit ISBN, a title and a customer's list of a dozen lines.
SellScreen::SellScreen(const ShopContext &context, QWidget *parent)
    : ShopScreen(context, screenid::Sell, QStringLiteral("Sell Operation"), QSize(760, 540),
                 parent) {
    openSources();
    buildControls();
    arrangeControls();
    clearDisplay();
    onSalePrice_->clear(); // blank until the first lookup
}

void SellScreen::openSources() {
    session_ = ShopSession::open(context_.shop);
    titles_ = new RecordSource(QStringLiteral("Adodc1"), session_, this);
    offers_ = new RecordSource(QStringLiteral("Adodc3"), session_, this);
    // The tables are checked now, but rows are read only for one ISBN at a lookup: a
    // catalogue of 100,000 titles or years of sales cost nothing at the counter.
    session_->requireTable(tables::Titles::table, tables::Titles::columns);
    session_->requireTable(tables::soldbook::table, tables::soldbook::columns);
    session_->requireTable(tables::onsale::table, tables::onsale::columns);
    payments_ = new CounterPayments(this, context_, session_);
}

void SellScreen::buildControls() {
    setAutoFillBackground(true);
    QPalette cyan = palette();
    cyan.setColor(QPalette::Window, QColor(0x00, 0xFF, 0xFF));
    setPalette(cyan);

    QLabel *heading = label(this, QStringLiteral("Label5"), QStringLiteral("SELLING   CD & BOOKs"),
                            arialFont(18, true));
    QPalette darkBlue = heading->palette();
    darkBlue.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0x80));
    heading->setPalette(darkBlue);

    isbnEdit_ = named<QLineEdit>("Text1", this);
    isbnEdit_->setMinimumWidth(180);
    quantityEdit_ = named<QLineEdit>("Text2", QStringLiteral("1"), this);
    label(this, QStringLiteral("Label1"), QStringLiteral("&ISBN ="), arialFont(12))
        ->setBuddy(isbnEdit_);
    label(this, QStringLiteral("lblLabels_0"), QStringLiteral("&Quantity="), arialFont(12))
        ->setBuddy(quantityEdit_);
    listButton_ = named<QPushButton>("Command1", QStringLiteral("&List"), this);
    okButton_ = named<QPushButton>("Command2", QStringLiteral("&OK"), this);

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
    QPalette red = onSaleCaption->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    onSaleCaption->setPalette(red);

    for (int i = 0; i < 5; ++i)
        display_[static_cast<std::size_t>(i)] =
            displayField(this, QStringLiteral("Label3_%1").arg(i));
    display_[0]->setMinimumWidth(display_[0]->fontMetrics().horizontalAdvance("9780000000000") +
                                 12);
    display_[1]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred); // long titles
    display_[1]->setMinimumWidth(160);
    onSalePrice_ = displayField(this, QStringLiteral("Label2"));
    onSalePrice_->setAutoFillBackground(true);
    QPalette lightRed = onSalePrice_->palette();
    lightRed.setColor(QPalette::Window, QColor(0xFF, 0xC0, 0xC0));
    onSalePrice_->setPalette(lightRed);

    const char *const listNames[] = {"lblLabels_3", "lblLabels_4", "lblLabels_5", "lblLabels_6"};
    const char *const listTexts[] = {titleCaption, "PRICE:", "QUANTITY:", "Subtotal:"};
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
    nextButton_ = named<QPushButton>("Command3", QStringLiteral("&Next Customer"), this);

    connect(listButton_, &QPushButton::clicked, this, &SellScreen::lookup);
    connect(okButton_, &QPushButton::clicked, this, &SellScreen::recordSale);
    connect(nextButton_, &QPushButton::clicked, this, &SellScreen::nextCustomer);
    // Enter in either box looks the title up, so the counter can be worked from the keyboard.
    connect(isbnEdit_, &QLineEdit::returnPressed, this, &SellScreen::lookup);
    connect(quantityEdit_, &QLineEdit::returnPressed, this, &SellScreen::lookup);
    connect(quantityEdit_, &QLineEdit::textEdited, this, [this] { quantityTaken_ = false; });
    setFocusProxy(isbnEdit_);
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

    auto *listHeading = new QHBoxLayout;
    listHeading->setSpacing(0);
    for (QLabel *caption : listCaptions_)
        listHeading->addWidget(caption);
    listHeading->addStretch(1);

    auto *total = new QHBoxLayout;
    total->addWidget(find("Label7"));
    total->addWidget(totalLabel_);
    captionValueBox(find("Label7"), totalLabel_);
    total->addWidget(payments_->numberLabel());
    total->addStretch(1);
    total->addWidget(payments_->unpaidButton());
    total->addWidget(payments_->payButton());
    total->addWidget(nextButton_);
    totalLabel_->setMinimumWidth(120);

    auto *page = new QVBoxLayout(this);
    page->addWidget(find("Label5"), 0, Qt::AlignHCenter);
    page->addSpacing(8);
    page->addLayout(entry);
    page->addSpacing(12);
    page->addLayout(shown);
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

void SellScreen::clearDisplay() {
    for (QLabel *field : display_)
        field->clear();
    onSalePrice_->setText(QStringLiteral("n/a"));
    onSaleFlag_ = false;
    lookedUp_.reset();
}

void SellScreen::lookup() {
    const std::optional<qint64> replaced =
        lookedUp_ ? std::optional<qint64>(lookedUp_->bookNo) : std::nullopt;
    clearDisplay();
    bool found = false;
    policy::reportOnError(*context_.messages, [&] { found = lookUpTitle(replaced); });
    if (found) {
        quantityTaken_ = true;
        isbnEdit_->selectAll();
    } else if (copiesTyped(quantityEdit_->text())) {
        // A scanner's next ISBN replaces the one not found, and copies typed for it are not
        // sold as copies of the next title. A quantity that is no number stays to be put
        // right.
        quantityEdit_->setText(QStringLiteral("1"));
        quantityTaken_ = false;
        readyForScan();
    }
}

bool SellScreen::lookUpTitle(std::optional<qint64> replaced) {
    auto quantity = copiesTyped(quantityEdit_->text());
    if (!quantity) {
        context_.messages->inform(
            QStringLiteral("The quantity \"%1\" is not a whole number of copies. Please type "
                           "the number of copies sold, such as 1 or 3.")
                .arg(quantityEdit_->text()));
        quantityEdit_->setFocus();
        quantityEdit_->selectAll();
        return false;
    }
    QString isbn = isbnEdit_->text();
    titles_->open(
        selectAll(tables::Titles::table, whereEqual(tables::Titles::ISBN, textLiteral(isbn))));
    if (titles_->isEof()) {
        if (!findInOtherForm(isbn))
            return false;
        isbn = titles_->text(tables::Titles::ISBN); // the offer is kept under the catalogue's
    }
    SaleLine sale;
    sale.bookNo = titles_->value(tables::Titles::BOOKNO).toLongLong();
    sale.isbn = titles_->text(tables::Titles::ISBN);
    sale.title = titles_->text(tables::Titles::Title);
    if (replaced && *replaced != sale.bookNo && quantityTaken_) {
        // Another title replaces one not sold: the copies were typed for that one.
        quantity = 1;
        quantityEdit_->setText(QStringLiteral("1"));
    }
    sale.quantity = *quantity;
    const auto salePrice = Money::fromValue(titles_->value(tables::Titles::SalePrice));
    if (!salePrice)
        throw DataError(QStringLiteral("The title \"%1\" has no sale price in the catalogue, so "
                                       "it cannot be sold until it has one.")
                            .arg(sale.title));
    const std::optional<Money> offer = todaysOffer(isbn);
    sale.price = offer.value_or(*salePrice);
    showLookup(sale, *salePrice, offer);
    return true;
}

// Not in the catalogue as typed: the same book under another spelling of its ISBN (ISBN-10 or
// ISBN-13, hyphens, blanks, a scanner's add-on). Only one title may hold it.
bool SellScreen::findInOtherForm(const QString &isbn) {
    const std::vector<CatalogueMatch> matches = isbnfinder::otherForms(titles_->connection(), isbn);
    if (matches.size() > 1) {
        context_.messages->inform(isbnfinder::severalTitlesMessage(
            isbn, matches,
            QStringLiteral("Type the ISBN as the title you sell has it in the catalogue.")));
        return false;
    }
    if (matches.size() == 1) {
        titles_->open(
            selectAll(tables::Titles::table,
                      whereEqual(tables::Titles::BOOKNO, QString::number(matches.front().bookNo))));
    }
    if (matches.empty() || titles_->isEof()) {
        context_.messages->inform(QString::fromLatin1(notFound));
        return false;
    }
    return true;
}

// Only the first offer of the ISBN in stored order counts; it holds from its first to its
// last day, both included. An offer without both days or without a price does not hold.
std::optional<Money> SellScreen::todaysOffer(const QString &isbn) {
    std::optional<Money> price;
    policy::skipOnError([&] {
        offers_->open(
            selectAll(tables::onsale::table, whereEqual(tables::onsale::ISBN, textLiteral(isbn))));
        if (offers_->isEof())
            return;
        const QDate begin = conv::parseDate(offers_->value(tables::onsale::Begin).toString());
        const QDate end = conv::parseDate(offers_->value(tables::onsale::End).toString());
        const QDate today = context_.clock->today();
        if (begin.isValid() && end.isValid() && begin <= today && today <= end)
            price = Money::fromValue(offers_->value(tables::onsale::OnSalePrice));
    });
    return price;
}

void SellScreen::showLookup(const SaleLine &sale, Money salePrice, std::optional<Money> offer) {
    display_[0]->setText(sale.isbn);
    display_[1]->setText(sale.title);
    display_[2]->setText(salePrice.text());
    display_[3]->setText(QString::number(sale.quantity));
    display_[4]->setText(sale.price.times(sale.quantity).text());
    if (offer)
        onSalePrice_->setText(offer->text());
    onSaleFlag_ = offer.has_value();
    lookedUp_ = sale;
}

void SellScreen::recordSale() {
    if (!lookedUp_ || !stockquestion::allows(*session_, *context_.messages, *lookedUp_))
        return;
    const bool booked = policy::reportOnError(
        *context_.messages,
        [this] {
            if (payments_->enabled() && payments_->receiptPaid())
                nextCustomer(); // the paid customer's list makes room for the next one's
            if (payments_->enabled())
                payments_->book(*lookedUp_, context_.clock->today(), context_.clock->timeOfDay());
            else
                shop::bookSale(*session_, *lookedUp_, context_.clock->today(),
                               context_.clock->timeOfDay());
        },
        QStringLiteral("The sale stays on the screen: press its OK button (Alt+O) to try "
                       "again."));
    if (!booked)
        return; // the lookup stays on display, so OK can be pressed again
    saleTotal_ += lookedUp_->price.times(lookedUp_->quantity);
    totalLabel_->setText(saleTotal_.text());
    printReceiptLine();
    clearDisplay();
    isbnEdit_->clear();
    quantityEdit_->setText(QStringLiteral("1"));
    quantityTaken_ = false;
    isbnEdit_->setFocus();
}

// The list on the screen shows a title's first 25 characters; the receipt prints it whole.
void SellScreen::printReceiptLine() {
    const QLabel *price = onSaleFlag_ ? onSalePrice_ : display_[2];
    receipt_->printLine({display_[1]->text().left(receiptTitleLength), QString(), price->text(),
                         display_[3]->text(), display_[4]->text()});
    sold_.push_back({lookedUp_->title, lookedUp_->price, onSaleFlag_, lookedUp_->quantity,
                     lookedUp_->price.times(lookedUp_->quantity)});
}

// The customer's receipt: the lines of the list and its total.
Receipt SellScreen::customerReceipt() const {
    Receipt receipt;
    receipt.when = QDateTime(context_.clock->today(), context_.clock->timeOfDay());
    receipt.lines = sold_;
    receipt.total = saleTotal_;
    payments_->fill(receipt);
    return receipt;
}

void SellScreen::nextCustomer() {
    if (!payments_->mayStartNext())
        return; // the customer's receipt stays until it is paid or kept open
    payments_->startNext();
    saleTotal_ = Money();
    totalLabel_->setText(QStringLiteral("0"));
    receipt_->clear();
    sold_.clear();
    readyForScan();
}

void SellScreen::readyForScan() {
    isbnEdit_->setFocus();
    isbnEdit_->selectAll();
}

void SellScreen::showReceiptLines(const std::vector<ReceiptLine> &lines, Money total) {
    receipt_->clear();
    sold_ = lines;
    for (const ReceiptLine &line : lines)
        receipt_->printLine({line.title.left(receiptTitleLength), QString(), line.price.text(),
                             QString::number(line.quantity), line.subtotal.text()});
    saleTotal_ = total;
    totalLabel_->setText(saleTotal_.text());
    readyForScan();
}
