// The counter screen: lookup, booking a sale, the customer's list and total; its controls are
// built in sellscreenlayout.cpp.
#include "sellscreen.h"

#include "clock.h"
#include "conversions.h"
#include "counterbox.h"
#include "counteroffline.h"
#include "counterpayments.h"
#include "counterreturns.h"
#include "countersession.h"
#include "dataerror.h"
#include "errorpolicy.h"
#include "messageboxes.h"
#include "receiptlist.h"
#include "recordsource.h"
#include "screenids.h"
#include "shopsession.h"
#include "shoptables.h"
#include "stockquestion.h"
#include "titlelookup.h"
#include "titlesearchdialog.h"

#include <QLabel>
#include <QLineEdit>
#include <cmath>

namespace {

constexpr int receiptTitleLength = 25;
// Beyond any real sale; keeps the stock and the sales row in a whole-number range.
constexpr double largestQuantity = 1e9;

// Copies are counted whole: a sale of 2.5 copies could not be kept in stock or sales rows. A
// box left empty sells one copy.
std::optional<qint64> copiesTyped(const QString &text) {
    if (text.trimmed().isEmpty())
        return 1;
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
    offline_ = new CounterOffline(this, context_);
    try {
        session_->requireTable(tables::Titles::table, tables::Titles::columns);
        session_->requireTable(tables::soldbook::table, tables::soldbook::columns);
        session_->requireTable(tables::onsale::table, tables::onsale::columns);
    } catch (const DataError &error) {
        // A till started while the server is away sells from what it kept, or says why not.
        if (!offline_->startsOffline(error))
            throw;
    }
    payments_ = new CounterPayments(this, context_, session_, offline_);
    sessions_ = new CounterSession(this, context_, session_, payments_->enabled(), offline_);
    returns_ = new CounterReturns(this, context_, session_, payments_, sessions_);
    // What the counter needs to open is kept now and whenever a session opens or closes here,
    // so that the next start finds the session as it is.
    if (!offline_->isOffline())
        offline_->keepStart(*session_);
    connect(sessions_, &CounterSession::changed, offline_,
            [this] { offline_->keepStart(*session_); });
}

void SellScreen::clearDisplay() {
    for (QLabel *field : display_)
        field->clear();
    onSalePrice_->setText(QStringLiteral("n/a"));
    onSaleFlag_ = false;
    lookedUp_.reset();
    ordersHint_->clear();
}

void SellScreen::lookup() {
    if (const std::optional<qint64> copies = copiesTyped(quantityEdit_->text());
        copies && *copies < 0) {
        refundTyped(-*copies);
        return;
    }
    const std::optional<qint64> replaced =
        lookedUp_ ? std::optional<qint64>(lookedUp_->bookNo) : std::nullopt;
    clearDisplay();
    bool found = false;
    policy::reportOnError(*context_.messages, [&] { found = lookUpTitle(replaced); });
    if (found) {
        quantityTaken_ = true;
        lookedUpText_ = isbnEdit_->text();
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
        counterbox::focusSelected(quantityEdit_);
        return false;
    }
    SaleLine sale;
    std::optional<Money> salePrice;
    if (!titleFor(sale, salePrice))
        return false;
    const QString isbn = sale.isbn; // the offer is kept under it
    if (replaced && *replaced != sale.bookNo && quantityTaken_) {
        // Another title replaces one not sold: the copies were typed for that one.
        quantity = 1;
        quantityEdit_->setText(QStringLiteral("1"));
    }
    sale.quantity = *quantity;
    if (!salePrice)
        throw DataError(QStringLiteral("The title \"%1\" has no sale price in the catalogue, so "
                                       "it cannot be sold until it has one.")
                            .arg(sale.title));
    const std::optional<Money> offer =
        offline_->isOffline() ? context_.tillCopy->offerOn(isbn, context_.clock->today())
                              : todaysOffer(isbn);
    sale.price = offer.value_or(*salePrice);
    showLookup(sale, *salePrice, offer);
    return true;
}

bool SellScreen::titleFor(SaleLine &sale, std::optional<Money> &salePrice) {
    return offline_->onlineOr(
        [&] {
            if (!titlelookup::find(*titles_, isbnEdit_->text(), *context_.messages))
                return false;
            sale.bookNo = titles_->value(tables::Titles::BOOKNO).toLongLong();
            sale.isbn = titles_->text(tables::Titles::ISBN);
            sale.title = titles_->text(tables::Titles::Title);
            salePrice = Money::fromValue(titles_->value(tables::Titles::SalePrice));
            return true;
        },
        [&] {
            const std::optional<CopiedTitle> title =
                context_.tillCopy->findIsbn(isbnEdit_->text().trimmed());
            if (!title) {
                context_.messages->inform(titlelookup::notFoundMessage());
                return false;
            }
            sale.bookNo = title->bookNo;
            sale.isbn = title->isbn;
            sale.title = title->title;
            salePrice = title->salePrice;
            return true;
        });
}

// Only the first offer of the ISBN in stored order counts; it holds from its first to its
// last day, both included. An offer without both days or without a price does not hold.
std::optional<Money> SellScreen::todaysOffer(const QString &isbn) {
    std::optional<Money> price;
    policy::skipOnError([&] {
        static const QString byIsbn = selectAll(
            tables::onsale::table, whereEqual(tables::onsale::ISBN, QStringLiteral("?1")));
        offers_->open(byIsbn, {isbn});
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
    showOrdersOf(sale.bookNo);
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

void SellScreen::isbnEntered() {
    if (lookedUp_ && quantityTaken_ && isbnEdit_->text() == lookedUpText_)
        recordSale();
    else
        lookup();
}

void SellScreen::findTitle() {
    auto *dialog = new TitleSearchDialog(session_, *context_.messages, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, [this, dialog](int result) {
        if (result == QDialog::Accepted) {
            isbnEdit_->setText(dialog->chosenIsbn());
            lookup(); // as if it had been scanned
        }
        readyForScan();
    });
    dialog->open();
}

void SellScreen::recordSale() {
    // Offline the stock may go below zero without a question: the copy's count is old.
    if (!lookedUp_ || !sessions_->readyToSell() ||
        (!offline_->isOffline() &&
         !stockquestion::allows(*session_, *context_.messages, *lookedUp_)))
        return;
    bookLookedUp();
}

bool SellScreen::bookLookedUp() {
    const bool booked = policy::reportOnError(
        *context_.messages,
        [this] {
            if (payments_->enabled() && payments_->receipt().isDone())
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
        return false; // the lookup stays on display, so OK can be pressed again
    saleTotal_ += lookedUp_->price.times(lookedUp_->quantity);
    totalLabel_->setText(saleTotal_.text());
    sold_.push_back({lookedUp_->title, lookedUp_->price, onSaleFlag_, lookedUp_->quantity,
                     lookedUp_->price.times(lookedUp_->quantity)});
    printReceiptLine(sold_.back());
    clearDisplay();
    isbnEdit_->clear();
    quantityEdit_->setText(QStringLiteral("1"));
    quantityTaken_ = false;
    isbnEdit_->setFocus();
    return true;
}

// The list on the screen shows a title's first 25 characters; the receipt prints it whole.
void SellScreen::printReceiptLine(const ReceiptLine &line) {
    receipt_->printLine({line.title.left(receiptTitleLength), QString(), line.price.text(),
                         QString::number(line.quantity), line.subtotal.text()});
}

// The customer's receipt: the lines of the list and its total.
Receipt SellScreen::customerReceipt() const {
    Receipt receipt;
    receipt.when = context_.clock->now();
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

// Copies brought back are given back as a refund, with its reason, never sold as minus copies.
void SellScreen::refundTyped(qint64 copies) {
    clearDisplay();
    const QString isbn = isbnEdit_->text();
    quantityEdit_->setText(QStringLiteral("1"));
    quantityTaken_ = false;
    isbnEdit_->clear();
    if (returns_->refundByIsbn(isbn, copies) == nullptr)
        readyForScan();
}

void SellScreen::focusWhereNeeded() {
    const bool noSession = sessions_->enabled() && !sessions_->current();
    QWidget *box = noSession ? static_cast<QWidget *>(sessions_->floatBox()) : isbnEdit_;
    setFocusProxy(box);
    box->setFocus();
}

void SellScreen::readyForScan() {
    counterbox::focusSelected(isbnEdit_);
}

void SellScreen::showReceiptLines(const std::vector<ReceiptLine> &lines, Money total) {
    receipt_->clear();
    sold_ = lines;
    for (const ReceiptLine &line : lines)
        printReceiptLine(line);
    saleTotal_ = total;
    totalLabel_->setText(saleTotal_.text());
    readyForScan();
}
