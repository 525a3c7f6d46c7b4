// frmNewQty: the record editor on Titles with a grid, an ISBN box, a quantity box and "OK".
#include "newqtyscreen.h"

#include "clock.h"
#include "connection.h"
#include "conversions.h"
#include "datagrid.h"
#include "errorpolicy.h"
#include "isbnfinder.h"
#include "messageboxes.h"
#include "orderlists.h"
#include "recordsource.h"
#include "screenheading.h"
#include "screenids.h"
#include "shopoperations.h"
#include "shopsteps.h"
#include "shoptables.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

namespace {

using namespace tables;

EditorDefinition newQtyDefinition() {
    return {screenid::NewQty,
            "New Quantity Refresh",
            "Quantity Refresh ",
            selectColumns(Titles::table, Titles::columns, orderBy(Titles::BOOKNO)),
            {},
            {},
            columnNames(Titles::columns),
            screenid::NewTitle};
}

} // namespace

NewQtyScreen::NewQtyScreen(const ShopContext &context, QWidget *parent)
    : RecordEditor(newQtyDefinition(), context, parent) {
    auto *form = new QGridLayout;
    const auto addBox = [this, form](int index, const QString &caption, int row) {
        auto *label = new QLabel(caption, this);
        label->setObjectName(QStringLiteral("lblLabels_%1").arg(index));
        auto *box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("txtFields_%1").arg(index));
        box->setAccessibleName(caption);
        label->setBuddy(box);
        form->addWidget(label, row, 0);
        form->addWidget(box, row, 1);
        return box;
    };
    isbnBox_ = addBox(1, QStringLiteral("ISBN:"), 0);
    quantityBox_ = addBox(2, QStringLiteral("New Purchase Quantity"), 1);
    auto *okButton = stepButton("Command1", QStringLiteral("OK"), this, &NewQtyScreen::addQuantity);
    okButton->setDefault(true);
    form->addWidget(okButton, 1, 2);
    form->setColumnStretch(1, 1);
    extraArea()->addLayout(form);
    connect(quantityBox_, &QLineEdit::returnPressed, this, &NewQtyScreen::addQuantity);

    // Typed ISBN, copies, OK, then the grid and the buttons.
    QWidget::setTabOrder(isbnBox_, quantityBox_);
    QWidget::setTabOrder(quantityBox_, okButton);
    QWidget::setTabOrder(okButton, grid()->view());
    setFocusProxy(isbnBox_);
}

void NewQtyScreen::addQuantity() {
    policy::reportOnError(*context_.messages, [this] {
        const Found found = findTitle(isbnBox_->text());
        if (found == Found::None)
            context_.messages->inform(QStringLiteral("Cannot find this book title! "));
        if (found != Found::One)
            return;
        const auto copies = conv::parseNumber(quantityBox_->text());
        if (!copies) {
            context_.messages->inform(QStringLiteral(
                "Type the number of copies received in New Purchase Quantity. The stock is "
                "unchanged."));
            return;
        }
        if (!addToStock(*copies))
            return;
        isbnBox_->clear();
        quantityBox_->clear();
        if (*copies > 0)
            setAsideForOrders(source()->value(Titles::BOOKNO).toLongLong());
    });
}

// The first title in BOOKNO order whose ISBN is exactly the typed text becomes current. When
// none has it, the one title that holds the same book under another spelling of its ISBN.
NewQtyScreen::Found NewQtyScreen::findTitle(const QString &isbn) {
    if (source()->recordCount() == 0)
        return Found::None;
    source()->moveFirst();
    source()->find(Titles::ISBN, isbn);
    if (!source()->isEof())
        return Found::One;
    const std::vector<CatalogueMatch> matches =
        isbnfinder::otherForms(source()->connection(), isbn);
    if (matches.size() > 1) {
        context_.messages->inform(isbnfinder::severalTitlesMessage(
            isbn, matches,
            QStringLiteral("Type the ISBN as the title you received has it in the catalogue. "
                           "The stock is unchanged.")));
        return Found::Several;
    }
    if (matches.empty())
        return Found::None;
    source()->moveFirst();
    source()->find(Titles::BOOKNO, matches.front().bookNo);
    return source()->isEof() ? Found::None : Found::One; // none: made after this screen read
}

// The copies are added to the stock stored now (a sale since this screen opened counts) and
// written at once, so closing the screen can never lose them.
bool NewQtyScreen::addToStock(double copies) {
    return policy::reportOnError(*context_.messages, [&] {
        source()->save(); // what was typed into the grid first
        shop::addDelivery(*source()->session(), source()->rowid(source()->currentRow()), copies);
    });
}

// Copies that arrive go first to the customers who ordered them, oldest order first, as far as
// the free copies go; the others stay waiting.
void NewQtyScreen::setAsideForOrders(qint64 bookNo) {
    Connection &connection = source()->connection();
    if (connection.columnsOf(QLatin1String(customerorders::table)).empty())
        return; // a shop older than customer orders
    std::vector<CustomerOrder> waiting;
    for (CustomerOrder &order : shop::openOrdersOf(connection, bookNo))
        if (order.state == OrderState::Requested || order.state == OrderState::Ordered)
            waiting.push_back(std::move(order));
    if (waiting.empty())
        return;
    QStringList listed;
    for (const CustomerOrder &order : waiting)
        listed << QStringLiteral("Order %1 of %2: %3 (%4)")
                      .arg(order.orderNo)
                      .arg(conv::dateText(order.requested.date()),
                           order.quantity == 1 ? QStringLiteral("1 copy")
                                               : QStringLiteral("%1 copies").arg(order.quantity),
                           order.customer);
    if (!context_.messages->confirm(
            QStringLiteral("Customer orders wait for \"%1\", oldest first:\n%2\n\nSet the copies "
                           "that arrived aside for them now?")
                .arg(waiting.front().title, listed.join(QLatin1Char('\n')))))
        return;
    const QDateTime now = context_.clock->now();
    QStringList held, still;
    for (const CustomerOrder &order : waiting) {
        try {
            shop::setAside(*source()->session(), order.orderNo, now);
            held << QString::number(order.orderNo);
        } catch (const DataError &) {
            still << QString::number(order.orderNo);
        }
    }
    QString told = held.isEmpty() ? QStringLiteral("No copies were free to set aside.")
                                  : QStringLiteral("Set aside for customer orders %1: print their "
                                                   "hold slips in Customer Orders (Customers to "
                                                   "tell).")
                                        .arg(held.join(QStringLiteral(", ")));
    if (!still.isEmpty())
        told +=
            QStringLiteral(" Still waiting for copies: %1.").arg(still.join(QStringLiteral(", ")));
    context_.messages->inform(told);
}
