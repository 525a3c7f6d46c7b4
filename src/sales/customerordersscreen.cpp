// The customer orders' lists and steps.
#include "customerordersscreen.h"

#include "clock.h"
#include "datagrid.h"
#include "depositdialog.h"
#include "errorpolicy.h"
#include "gridcommands.h"
#include "holdslip.h"
#include "neworderdialog.h"
#include "orderlimitmark.h"
#include "printpreview.h"
#include "receiptprint.h"
#include "receipts.h"
#include "receiptsettings.h"
#include "recordsource.h"
#include "screenheading.h"
#include "screenids.h"
#include "shopsession.h"
#include "shopsteps.h"
#include "tillsessions.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>
#include <QUuid>
#include <QVBoxLayout>

namespace {

namespace O = tables::customerorders;

QString stored(OrderState state) {
    return textLiteral(orderstates::stored(state));
}

// Midnight of the day `days` before today, as stored moments compare with it.
QString daysBefore(const QDate &today, int days) {
    return textLiteral(conv::isoMoment(QDateTime(today.addDays(-days), QTime(0, 0))));
}

} // namespace

CustomerOrdersScreen::CustomerOrdersScreen(const ShopContext &context, QWidget *parent)
    : ShopScreen(context, screenid::CustomerOrders, QStringLiteral("Customer Orders"),
                 QSize(960, 520), parent),
      orders_(new RecordSource(QStringLiteral("Adodc1"), context.shop, this)) {
    QLabel *heading = titleHeading();
    lists_ = named<QComboBox>("cboList", this);
    lists_->addItems({QStringLiteral("Open orders"), QStringLiteral("To place with suppliers"),
                      QStringLiteral("Customers to tell"), QStringLiteral("Not collected"),
                      QStringLiteral("All orders")});
    auto *listLabel = named<QLabel>("lblList", QStringLiteral("&Show:"), this);
    listLabel->setBuddy(lists_);

    grid_ = listGrid(orders_,
                     {{O::OrderNo, QStringLiteral("Order")},
                      {O::State, QStringLiteral("State")},
                      {O::Requested, QStringLiteral("Requested")},
                      {O::Customer, QStringLiteral("Customer")},
                      {O::Phone, QStringLiteral("Phone")},
                      {O::Email, QStringLiteral("E-mail")},
                      {O::ISBN, QStringLiteral("ISBN")},
                      {O::Title, QStringLiteral("Title")},
                      {O::Qty, QStringLiteral("Qty")},
                      {O::Price, QStringLiteral("Price")},
                      {O::Deposit, QStringLiteral("Deposit")},
                      {O::Supplier, QStringLiteral("Supplier")},
                      {O::Promised, QStringLiteral("Promised")},
                      {O::Changed, QStringLiteral("Last change")},
                      {O::Notes, QStringLiteral("Notes")}},
                     QStringLiteral("Customer orders"), this);
    grid_->view()->setItemDelegate(new OrderLimitMark(grid_->view()));
    grid_->setProperty(personalDataProperty, shop::personalDataNotice());

    using Screen = CustomerOrdersScreen;
    auto *add = stepButton("cmdNew", QStringLiteral("&New Order..."), this, &Screen::newOrder);
    auto *deposit =
        stepButton("cmdDeposit", QStringLiteral("&Deposit..."), this, [this] { takeDeposit(); });
    auto *place = stepButton("cmdPlace", QStringLiteral("&Placed"), this, &Screen::place);
    auto *aside = stepButton("cmdArrived", QStringLiteral("&Arrived"), this, &Screen::setAside);
    auto *told = named<QPushButton>("cmdTold", QStringLiteral("&Told"), this);
    auto *collected =
        stepButton("cmdCollected", QStringLiteral("C&ollected"), this, &Screen::collect);
    auto *cancel =
        stepButton("cmdCancel", QStringLiteral("Ca&ncel Order..."), this, &Screen::cancelOrder);
    auto *abandon = stepButton("cmdAbandon", QStringLiteral("A&bandoned"), this, &Screen::abandon);
    auto *slip = stepButton("cmdHoldSlip", QStringLiteral("&Hold Slip..."), this,
                            [this] { printHoldSlip(); });
    auto *again = stepButton("cmdRefresh", QStringLiteral("&Refresh"), this, &Screen::refresh);
    auto *how = new QMenu(told);
    how->addAction(QStringLiteral("By &phone"), this, [this] { tell(ToldBy::Phone); });
    how->addAction(QStringLiteral("By &e-mail"), this, [this] { tell(ToldBy::Email); });
    how->addAction(QStringLiteral("&In person"), this, [this] { tell(ToldBy::InPerson); });
    told->setMenu(how);
    connect(lists_, &QComboBox::activated, this, [this](int index) {
        showList(index < 4 ? std::optional<OrderList>(static_cast<OrderList>(index))
                           : std::nullopt);
    });

    auto *top = new QHBoxLayout;
    top->addWidget(heading, 1);
    top->addWidget(listLabel);
    top->addWidget(lists_);
    QHBoxLayout *buttons = buttonRow({add, deposit, place, aside, told, collected, cancel, abandon,
                                      slip, rowStretch, again, closeButton()});
    auto *page = new QVBoxLayout(this);
    page->addLayout(top);
    page->addWidget(grid_, 1);
    page->addLayout(buttons);
    setFocusProxy(grid_->view());
    showList(OrderList::Open);
}

void CustomerOrdersScreen::showList(std::optional<OrderList> list) {
    shown_ = list;
    lists_->setCurrentIndex(list ? static_cast<int>(*list) : 4);
    const QString open = QStringLiteral("State <> %1 and State <> %2 and State <> %3")
                             .arg(stored(OrderState::Collected), stored(OrderState::Cancelled),
                                  stored(OrderState::Abandoned));
    QString text;
    int limit = 0;
    policy::reportOnError(*context_.messages, [&] {
        Connection &connection =
            orders_->isOpen() ? orders_->connection() : orders_->session()->connection();
        const QDate today = context_.clock->today();
        if (!list) {
            text = QStringLiteral("select * from customerorders order by OrderNo desc");
        } else if (*list == OrderList::Open) {
            limit = shop::orderLimit(connection, OrderLimit::WaitingDays);
            text = QStringLiteral("select * from customerorders where %1 order by Requested")
                       .arg(open);
        } else if (*list == OrderList::ToPlace) {
            limit = shop::orderLimit(connection, OrderLimit::WaitingDays);
            text = QStringLiteral("select * from customerorders where State = %1 order by "
                                  "Supplier")
                       .arg(stored(OrderState::Requested));
        } else if (*list == OrderList::ToTell) {
            text = QStringLiteral("select * from customerorders where State = %1 order by Changed")
                       .arg(stored(OrderState::Arrived));
        } else {
            limit = shop::orderLimit(connection, OrderLimit::AbandonDays);
            text = QStringLiteral("select * from customerorders where State <> %1 and State <> "
                                  "%2 and %3 and Changed < %4 order by Changed")
                       .arg(stored(OrderState::Requested), stored(OrderState::Ordered), open,
                            daysBefore(today, limit));
        }
        auto *mark = static_cast<OrderLimitMark *>(grid_->view()->itemDelegate());
        mark->setLimit(limit > 0 || list == OrderList::NotCollected
                           ? std::optional<QDateTime>(QDateTime(today.addDays(-limit), QTime(0, 0)))
                           : std::nullopt,
                       list == OrderList::NotCollected ? 13 : 2);
        orders_->open(text);
        grid_->setCaption((list == OrderList::Open || list == OrderList::ToPlace
                               ? QStringLiteral("Marked: waiting longer than the shop's limit. ")
                               : QString()) +
                          shop::personalDataNotice());
    });
}

std::optional<qint64> CustomerOrdersScreen::chosenOrder() const {
    if (!orders_->hasCurrentRow())
        return std::nullopt;
    return orders_->value(QLatin1String(O::OrderNo.name)).toLongLong();
}

template <typename Step> void CustomerOrdersScreen::onChosen(Step &&step) {
    const std::optional<qint64> order = chosenOrder();
    if (!order) {
        context_.messages->inform(QStringLiteral("Choose an order in the list first."));
        return;
    }
    policy::reportOnError(*context_.messages, [&] { step(*orders_->session(), *order); });
}

namespace {

// The session open now on this till, if any.
std::optional<TillSession> sessionHere(Connection &connection) {
    const std::optional<Till> till = shop::thisTill(connection);
    return till ? shop::openSessionOf(connection, till->id) : std::nullopt;
}

// Money of a deposit moves in this till's open session.
DepositMoney depositMoney(Connection &connection, qint64 order, qint64 method, Money amount,
                          const QDateTime &at) {
    const std::optional<TillSession> open = sessionHere(connection);
    if (!open)
        throw DataError(QStringLiteral("This till has no open session: open one at the counter "
                                       "(count the float) before money moves."));
    return {
        QUuid::createUuid().toString(QUuid::WithoutBraces), order, open->id, method, amount, at};
}

qint64 cashMethod(Connection &connection) {
    for (const PaymentMethod &method : shop::paymentMethods(connection))
        if (method.kind == MethodKind::Cash)
            return method.id;
    return 0;
}

} // namespace

void CustomerOrdersScreen::takeDeposit(std::optional<Money> amount, qint64 method) {
    onChosen([&](ShopSession &s, qint64 order) {
        if (!amount) {
            const CustomerOrder held = shop::customerOrder(s.connection(), order);
            DepositDialog dialog(
                QStringLiteral("Deposit on customer order %1 (%2), price %3, held now %4:")
                    .arg(held.orderNo)
                    .arg(held.title, held.total().text(), held.deposit.text()),
                shop::paymentMethods(s.connection()), this);
            if (dialog.exec() != QDialog::Accepted)
                return;
            amount = dialog.amount().value_or(Money::fromUnits(-1));
            method = dialog.method();
        }
        if (*amount <= Money())
            throw DataError(QStringLiteral("A deposit is an amount of money more than 0."));
        shop::takeDeposit(
            s, depositMoney(s.connection(), order, method, *amount, context_.clock->now()));
    });
}

void CustomerOrdersScreen::newOrder() {
    NewOrderDialog dialog(context_, orders_->session(), this);
    if (dialog.exec() == QDialog::Accepted)
        refresh();
}

void CustomerOrdersScreen::moveChosen(OrderState to, std::optional<ToldBy> how) {
    onChosen([&](ShopSession &s, qint64 order) {
        shop::moveOrder(s, order, to, context_.clock->now(), how);
    });
}

void CustomerOrdersScreen::setAside() {
    onChosen(
        [this](ShopSession &s, qint64 order) { shop::setAside(s, order, context_.clock->now()); });
}

void CustomerOrdersScreen::collect() {
    onChosen([this](ShopSession &s, qint64 order) {
        const std::optional<TillSession> open = sessionHere(s.connection());
        const Money used = shop::collect(s, order, {}, context_.clock->now(), open ? open->id : 0);
        if (used > Money())
            context_.messages->inform(
                QStringLiteral("Customer order %1 is collected. Its deposit of %2 pays part of "
                               "its price: at the counter take it as a payment by the method it "
                               "was paid by, and the rest as the customer pays.")
                    .arg(order)
                    .arg(used.text()));
    });
}

void CustomerOrdersScreen::cancelOrder() {
    onChosen([this](ShopSession &s, qint64 order) {
        const CustomerOrder held = shop::customerOrder(s.connection(), order);
        std::optional<DepositMoney> refund;
        if (held.deposit > Money() &&
            context_.messages->confirm(
                QStringLiteral("Customer order %1 holds a deposit of %2. Give it back in cash "
                               "now (OK), or keep it as the customer's credit (Cancel)?")
                    .arg(order)
                    .arg(held.deposit.text())))
            refund = depositMoney(s.connection(), order, cashMethod(s.connection()), {},
                                  context_.clock->now());
        shop::cancel(s, order, context_.clock->now(), refund);
    });
}

void CustomerOrdersScreen::refresh() {
    showList(shown_);
}

int CustomerOrdersScreen::printHoldSlipOn(QPrinter &printer) {
    const std::optional<qint64> order = chosenOrder();
    if (!order)
        return 0;
    int pages = 0;
    policy::reportOnError(*context_.messages, [&] {
        Connection &connection = orders_->session()->connection();
        const std::optional<QDate> since = shop::setAsideOn(connection, *order);
        if (!since)
            return;
        const ReceiptSettings settings = ReceiptSettings::load();
        // The print dialog puts a page size of its own on the printer: the paper is set again.
        receipt::setPaper(printer, settings.paper);
        pages = holdslip::print(shop::customerOrder(connection, *order), *since, settings.shopName,
                                printer);
    });
    return pages;
}

QPrintPreviewDialog *CustomerOrdersScreen::printHoldSlip() {
    const std::optional<qint64> order = chosenOrder();
    if (!order || !shop::setAsideOn(orders_->session()->connection(), *order)) {
        context_.messages->inform(
            QStringLiteral("Choose an order whose copies are set aside: a hold slip goes with "
                           "them."));
        return nullptr;
    }
    auto *printer = new QPrinter(QPrinter::HighResolution);
    receipt::setPaper(*printer, ReceiptSettings::load().paper);
    printer->setDocName(QStringLiteral("Hold slip"));
    return printpreview::show(
        named<QPrintPreviewDialog>("holdSlipPreview", printer, window()),
        QStringLiteral("Hold Slip"), QSize(640, 720),
        [this](QPrinter *target) { printHoldSlipOn(*target); }, printer, this);
}
