// The purchase orders and the lines of the chosen one.
#include "purchaseordersscreen.h"

#include "clock.h"
#include "datagrid.h"
#include "errorpolicy.h"
#include "gridcommands.h"
#include "purchaseorders.h"
#include "recordsource.h"
#include "screenheading.h"
#include "screenids.h"
#include "shopsession.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

PurchaseOrdersScreen::PurchaseOrdersScreen(const ShopContext &context, QWidget *parent)
    : ShopScreen(context, screenid::PurchaseOrders, QStringLiteral("Purchase Orders"),
                 QSize(900, 600), parent),
      orders_(new RecordSource(QStringLiteral("Adodc1"), context.shop, this)),
      lines_(new RecordSource(QStringLiteral("Adodc2"), context.shop, this)) {
    QLabel *heading = titleHeading();
    unfinished_ =
        named<QCheckBox>("chkUnfinished", QStringLiteral("&Unfinished orders only"), this);
    unfinished_->setChecked(true);
    DataGrid *ordersGrid = listGrid(orders_,
                                    {{QStringLiteral("OrderNo"), QStringLiteral("Order")},
                                     {QStringLiteral("Supplier"), QStringLiteral("Supplier")},
                                     {QStringLiteral("State"), QStringLiteral("State")},
                                     {QStringLiteral("Created"), QStringLiteral("Made")},
                                     {QStringLiteral("Changed"), QStringLiteral("Last change")},
                                     {QStringLiteral("Notes"), QStringLiteral("Notes")}},
                                    QStringLiteral("Purchase orders"), this);
    linesGrid_ = listGrid(lines_,
                          {{QStringLiteral("ISBN"), QStringLiteral("ISBN")},
                           {QStringLiteral("Title"), QStringLiteral("Title")},
                           {QStringLiteral("Ordered"), QStringLiteral("Ordered")},
                           {QStringLiteral("Received"), QStringLiteral("Received")},
                           {QStringLiteral("Invoiced"), QStringLiteral("Invoiced")},
                           {QStringLiteral("Cancelled"), QStringLiteral("Cancelled")},
                           {QStringLiteral("Cost"), QStringLiteral("Cost")},
                           {QStringLiteral("CustomerOrder"), QStringLiteral("Customer order")}},
                          QStringLiteral("Lines of the order"), this);
    linesGrid_->setObjectName(QStringLiteral("DataGrid2"));
    QLabel *ordersLabel = captionFor(QStringLiteral("&Orders:"), ordersGrid->view(), this);
    QLabel *linesLabel = captionFor(QStringLiteral("&Lines:"), linesGrid_->view(), this);

    using Screen = PurchaseOrdersScreen;
    QHBoxLayout *buttons = buttonRow(
        {stepButton("cmdSend", QStringLiteral("S&end"), this, &Screen::send),
         stepButton("cmdCancelLine", QStringLiteral("Cancel Li&ne"), this, &Screen::cancelLine),
         stepButton("cmdCloseOrder", QStringLiteral("Close Or&der"), this, &Screen::closeOrder),
         stepButton("cmdPrint", QStringLiteral("&Print Order..."), this, &Screen::printOrder),
         rowStretch, stepButton("cmdRefresh", QStringLiteral("&Refresh"), this, &Screen::refresh),
         closeButton()});
    connect(unfinished_, &QCheckBox::toggled, this, &PurchaseOrdersScreen::refresh);
    connect(orders_, &RecordSource::moved, this, &PurchaseOrdersScreen::showLines);

    auto *top = new QHBoxLayout;
    top->addWidget(heading, 1);
    top->addWidget(unfinished_);
    // A pane of the splitter: a grid under its caption.
    const auto pane = [this](QLabel *caption, DataGrid *grid) {
        auto *pane = new QWidget(this);
        auto *layout = new QVBoxLayout(pane);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(caption);
        layout->addWidget(grid, 1);
        return pane;
    };
    auto *split = new QSplitter(Qt::Vertical, this);
    split->addWidget(pane(ordersLabel, ordersGrid));
    split->addWidget(pane(linesLabel, linesGrid_));
    auto *page = new QVBoxLayout(this);
    page->addLayout(top);
    page->addWidget(split, 1);
    page->addLayout(buttons);
    setFocusProxy(ordersGrid->view());
    refresh();
}

void PurchaseOrdersScreen::refresh() {
    policy::reportOnError(*context_.messages, [&] {
        orders_->open(unfinished_->isChecked()
                          ? QStringLiteral("select * from purchaseorders where State <> 'received' "
                                           "and State <> 'closed' order by OrderNo desc")
                          : QStringLiteral("select * from purchaseorders order by OrderNo desc"));
        linesOf_ = -1;
        showLines();
    });
}

std::optional<qint64> PurchaseOrdersScreen::chosenOrder() const {
    if (!orders_->hasCurrentRow())
        return std::nullopt;
    return orders_->value(QStringLiteral("OrderNo")).toLongLong();
}

void PurchaseOrdersScreen::showLines() {
    const qint64 order = chosenOrder().value_or(0);
    if (order == linesOf_)
        return;
    linesOf_ = order;
    policy::reportOnError(*context_.messages, [&] {
        lines_->open(QStringLiteral("select * from purchaselines where OrderNo = %1 order by Line")
                         .arg(order));
        linesGrid_->setCaption(order ? QStringLiteral("Purchase order %1 to %2 (%3)")
                                           .arg(order)
                                           .arg(orders_->text(QStringLiteral("Supplier")),
                                                orders_->text(QStringLiteral("State")))
                                     : QString());
    });
}

template <typename Step> void PurchaseOrdersScreen::onChosen(Step &&step) {
    const std::optional<qint64> order = chosenOrder();
    if (!order) {
        context_.messages->inform(QStringLiteral("Choose an order in the list first."));
        return;
    }
    const QDateTime now = context_.clock->now();
    if (policy::reportOnError(*context_.messages, [&] { step(*order, now); }))
        refresh();
}

void PurchaseOrdersScreen::send() {
    onChosen([this](qint64 order, const QDateTime &now) {
        shop::sendPurchaseOrder(*orders_->session(), order, now);
    });
}

void PurchaseOrdersScreen::cancelLine() {
    if (!lines_->hasCurrentRow()) {
        context_.messages->inform(QStringLiteral("Choose a line of the order first."));
        return;
    }
    const qint64 line = lines_->value(QStringLiteral("Line")).toLongLong();
    const QString title = lines_->text(QStringLiteral("Title"));
    onChosen([&](qint64, const QDateTime &now) {
        if (context_.messages->confirm(
                QStringLiteral("Cancel the copies of \"%1\" still to come?").arg(title)))
            shop::cancelPurchaseLine(*orders_->session(), line, now);
    });
}

void PurchaseOrdersScreen::closeOrder() {
    onChosen([this](qint64 order, const QDateTime &now) {
        if (context_.messages->confirm(QStringLiteral("Close purchase order %1? Nothing more "
                                                      "is expected on it.")
                                           .arg(order)))
            shop::closePurchaseOrder(*orders_->session(), order, now);
    });
}

void PurchaseOrdersScreen::printOrder() {
    if (!chosenOrder()) {
        context_.messages->inform(QStringLiteral("Choose an order in the list first."));
        return;
    }
    if (auto *commands = linesGrid_->findChild<GridCommands *>())
        commands->print();
}
