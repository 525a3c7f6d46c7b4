// Receiving a delivery from the scanner.
#include "receivescreen.h"

#include "clock.h"
#include "conversions.h"
#include "customerorders.h"
#include "errorpolicy.h"
#include "purchaseorders.h"
#include "screenheading.h"
#include "screenids.h"
#include "shopsession.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>

ReceiveScreen::ReceiveScreen(const ShopContext &context, QWidget *parent)
    : ShopScreen(context, screenid::Receive, QStringLiteral("Receive Delivery"), QSize(820, 520),
                 parent),
      session_(ShopSession::open(context.shop)) {
    QLabel *heading = titleHeading();
    suppliers_ = named<QComboBox>("cboSupplier", this);
    suppliers_->setEditable(true);
    suppliers_->setInsertPolicy(QComboBox::NoInsert);
    orders_ = named<QComboBox>("cboOrder", this);
    returnBy_ = named<QCheckBox>("chkReturnBy", QStringLiteral("Returns &by:"), this);
    returnDate_ = named<QDateEdit>("dtpReturnBy", this);
    returnDate_->setCalendarPopup(true);
    returnDate_->setDisplayFormat(QStringLiteral("yyyy/M/d"));
    returnDate_->setDate(context_.clock->today().addDays(90));
    returnDate_->setAccessibleName(QStringLiteral("Last day for returns"));
    isbn_ = named<QLineEdit>("txtIsbn", this);
    copies_ = named<QLineEdit>("txtCopies", QStringLiteral("1"), this);
    QFont large = isbn_->font();
    large.setPointSizeF(large.pointSizeF() * 1.5);
    isbn_->setFont(large);
    copies_->setFont(large);
    copies_->setMaximumWidth(120);
    lines_ = named<QTableWidget>("twLines", 0, 3, this);
    lines_->setHorizontalHeaderLabels(
        {QStringLiteral("ISBN"), QStringLiteral("Title"), QStringLiteral("Copies")});
    lines_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    lines_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lines_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lines_->setAccessibleName(QStringLiteral("Titles received"));

    auto *form = new QGridLayout;
    form->addWidget(captionFor(QStringLiteral("&Supplier:"), suppliers_, this), 0, 0);
    form->addWidget(suppliers_, 0, 1);
    form->addWidget(captionFor(QStringLiteral("&Order:"), orders_, this), 0, 2);
    form->addWidget(orders_, 0, 3);
    form->addWidget(returnBy_, 0, 4);
    form->addWidget(returnDate_, 0, 5);
    form->addWidget(captionFor(QStringLiteral("&ISBN:"), isbn_, this), 1, 0);
    form->addWidget(isbn_, 1, 1, 1, 3);
    form->addWidget(captionFor(QStringLiteral("Co&pies:"), copies_, this), 1, 4);
    form->addWidget(copies_, 1, 5);
    form->setColumnStretch(1, 1);
    form->setColumnStretch(3, 1);

    QHBoxLayout *buttons = buttonRow(
        {stepButton("cmdRemove", QStringLiteral("Remo&ve Line"), this, &ReceiveScreen::removeLine),
         rowStretch,
         stepButton("cmdReceive", QStringLiteral("&Receive"), this,
                    &ReceiveScreen::receiveDelivery),
         closeButton()});
    connect(suppliers_, &QComboBox::textActivated, this, &ReceiveScreen::chooseSupplier);
    connect(isbn_, &QLineEdit::returnPressed, this, &ReceiveScreen::addScanned);
    connect(copies_, &QLineEdit::returnPressed, isbn_, qOverload<>(&QWidget::setFocus));
    connect(returnBy_, &QCheckBox::toggled, returnDate_, &QWidget::setEnabled);
    returnDate_->setEnabled(false);

    auto *page = new QVBoxLayout(this);
    page->addWidget(heading);
    page->addLayout(form);
    page->addWidget(lines_, 1);
    page->addLayout(buttons);
    setTabOrder(suppliers_, orders_);
    setTabOrder(orders_, returnBy_);
    setTabOrder(returnBy_, returnDate_);
    setTabOrder(returnDate_, isbn_);
    setTabOrder(isbn_, copies_);
    setFocusProxy(isbn_);

    policy::reportOnError(*context_.messages, [this] {
        suppliers_->addItems(shop::supplierNames(session_->connection()));
        chooseSupplier(suppliers_->currentText());
    });
}

void ReceiveScreen::chooseSupplier(const QString &supplier) {
    suppliers_->setCurrentText(supplier);
    orders_->clear();
    orders_->addItem(QStringLiteral("Any open order"), 0);
    policy::reportOnError(*context_.messages, [&] {
        for (const PurchaseOrder &order :
             shop::purchaseOrders(session_->connection(), supplier.trimmed(), true))
            if (purchasestates::open(order.state))
                orders_->addItem(QStringLiteral("%1 (%2, %3)")
                                     .arg(order.orderNo)
                                     .arg(purchasestates::stored(order.state),
                                          conv::dateText(order.created.date())),
                                 order.orderNo);
    });
}

bool ReceiveScreen::addScanned() {
    const QString typed = isbn_->text().trimmed();
    if (typed.isEmpty())
        return false;
    return policy::reportOnError(*context_.messages, [&] {
        const qint64 copies = shop::copiesTyped(copies_->text());
        const std::optional<OrderTitle> title = shop::orderTitle(session_->connection(), typed);
        if (!title)
            throw DataError(QStringLiteral("Cannot find this book title: the catalogue has no "
                                           "ISBN \"%1\". Add the title first (New Title).")
                                .arg(typed));
        int row = 0;
        while (row < static_cast<int>(delivery_.size()) && delivery_[row].bookNo != title->bookNo)
            ++row;
        if (row == static_cast<int>(delivery_.size())) {
            delivery_.push_back({title->bookNo, 0, std::nullopt});
            lines_->insertRow(row);
            lines_->setItem(row, 0, new QTableWidgetItem(title->isbn));
            lines_->setItem(row, 1, new QTableWidgetItem(title->title));
        }
        delivery_[row].copies += copies;
        lines_->setItem(row, 2, new QTableWidgetItem(QString::number(delivery_[row].copies)));
        lines_->selectRow(row);
        isbn_->clear();
        copies_->setText(QStringLiteral("1"));
        isbn_->setFocus();
    });
}

void ReceiveScreen::removeLine() {
    const int row = lines_->currentRow();
    if (row < 0 || row >= static_cast<int>(delivery_.size())) {
        context_.messages->inform(QStringLiteral("Choose a line first."));
        return;
    }
    delivery_.erase(delivery_.begin() + row);
    lines_->removeRow(row);
}

bool ReceiveScreen::receiveDelivery() {
    Delivery delivery;
    delivery.supplier = suppliers_->currentText().trimmed();
    delivery.orderNo = orders_->currentData().toLongLong();
    delivery.lines = delivery_;
    delivery.at = context_.clock->now();
    if (returnBy_->isChecked())
        delivery.returnBy = returnDate_->date();
    ReceivedDelivery done;
    const bool stored = policy::reportOnError(*context_.messages, [&] {
        const QStringList warnings = shop::receivingWarnings(session_->connection(), delivery);
        bool accepted = false;
        if (!warnings.isEmpty()) {
            if (!context_.messages->confirm(
                    warnings.join(QLatin1Char('\n')) +
                    QStringLiteral("\n\nReceive them all the same? They are recorded as more "
                                   "than was ordered.")))
                throw DataError(QStringLiteral("Nothing was received: the delivery stays on "
                                               "the screen."));
            accepted = true;
        }
        done = shop::receive(*session_, delivery, accepted);
    });
    if (!stored)
        return false;
    qint64 copies = 0;
    for (const DeliveredCopies &line : delivery_)
        copies += line.copies;
    QString told = QStringLiteral("Delivery %1 received: %2 copies are in stock.")
                       .arg(done.delivery)
                       .arg(copies);
    if (!done.setAside.empty()) {
        QStringList orders;
        for (qint64 order : done.setAside)
            orders << QString::number(order);
        told += QStringLiteral(" Set aside for customer orders %1: print their hold slips in "
                               "Customer Orders (Customers to tell).")
                    .arg(orders.join(QStringLiteral(", ")));
    }
    context_.messages->inform(told);
    delivery_.clear();
    lines_->setRowCount(0);
    chooseSupplier(suppliers_->currentText());
    isbn_->setFocus();
    return true;
}
