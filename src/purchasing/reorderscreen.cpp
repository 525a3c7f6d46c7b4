// The reorder list and the supplier's days.
#include "reorderscreen.h"

#include "clock.h"
#include "customerorders.h"
#include "datagrid.h"
#include "errorpolicy.h"
#include "purchaseorders.h"
#include "recordsource.h"
#include "reorder.h"
#include "reorderlist.h"
#include "screenheading.h"
#include "screenids.h"
#include "shopsession.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QSpinBox *daysBox(const char *name, int least, QWidget *parent) {
    auto *box = named<QSpinBox>(name, parent);
    box->setRange(least, 3660);
    box->setSuffix(QStringLiteral(" days"));
    return box;
}

// Every figure is shown as it was worked out; only the quantity and the cost are the
// operator's to change.
QList<GridColumn> listColumns() {
    const auto shown = [](const char *field, const char *caption) {
        return GridColumn{QLatin1String(field), QLatin1String(caption), std::nullopt, true};
    };
    return {shown("ISBN", "ISBN"),
            shown("Title", "Title"),
            shown("OnHand", "On hand"),
            shown("SafeQty", "Safe qty"),
            shown("Sold", "Sold in window"),
            shown("OnOrder", "On order"),
            shown("Awaited", "Customer orders"),
            shown("Suggested", "Suggested"),
            {QStringLiteral("Quantity"), QStringLiteral("Quantity")},
            {QStringLiteral("Cost"), QStringLiteral("Cost")}};
}

} // namespace

ReorderScreen::ReorderScreen(const ShopContext &context, QWidget *parent)
    : ShopScreen(context, screenid::Reorder, QStringLiteral("Reorder Suggestions"),
                 QSize(1060, 520), parent),
      list_(new RecordSource(QStringLiteral("Adodc1"), context.shop, this)) {
    QLabel *heading = screenHeading(QStringLiteral("Label1"), QStringLiteral("Reorder Suggestions"),
                                    this, 1.4, false);
    suppliers_ = named<QComboBox>("cboSupplier", this);
    suppliers_->setEditable(true);
    suppliers_->setInsertPolicy(QComboBox::NoInsert);
    window_ = daysBox("spnWindow", 1, this);
    lead_ = daysBox("spnLead", 0, this);
    cover_ = daysBox("spnCover", 0, this);
    isbn_ = named<QLineEdit>("txtIsbn", this);
    isbn_->setAccessibleName(QStringLiteral("ISBN of a title to add"));

    auto *days = new QGridLayout;
    const std::pair<const char *, QWidget *> labelled[] = {{"&Supplier:", suppliers_},
                                                           {"Sales &window:", window_},
                                                           {"&Lead:", lead_},
                                                           {"Co&ver:", cover_}};
    int column = 0;
    for (const auto &[caption, box] : labelled) {
        auto *label = new QLabel(QLatin1String(caption), this);
        label->setBuddy(box);
        days->addWidget(label, 0, column++);
        days->addWidget(box, 0, column++);
    }
    days->setColumnStretch(1, 1);
    auto *saveDays = named<QPushButton>("cmdSaveDays", QStringLiteral("Save &Days"), this);
    auto *list = named<QPushButton>("cmdList", QStringLiteral("Li&st"), this);
    days->addWidget(saveDays, 0, column++);
    days->addWidget(list, 0, column++);

    grid_ = new DataGrid(list_, listColumns(), this);
    grid_->setObjectName(QStringLiteral("DataGrid1"));
    grid_->view()->setAccessibleName(QStringLiteral("Reorder list"));
    grid_->setCaption(QStringLiteral("Type the quantity to order; a line of 0 is not ordered."));

    auto *isbnLabel = new QLabel(QStringLiteral("&ISBN to add:"), this);
    isbnLabel->setBuddy(isbn_);
    auto *add = named<QPushButton>("cmdAdd", QStringLiteral("&Add Title"), this);
    auto *drop = named<QPushButton>("cmdDrop", QStringLiteral("D&rop Line"), this);
    auto *order = named<QPushButton>("cmdOrder", QStringLiteral("&Make Draft Order"), this);
    auto *close = named<QPushButton>("cmdClose", QStringLiteral("&Close"), this);
    connect(suppliers_, &QComboBox::textActivated, this, &ReorderScreen::chooseSupplier);
    connect(saveDays, &QPushButton::clicked, this, &ReorderScreen::saveDays);
    connect(list, &QPushButton::clicked, this, &ReorderScreen::listSuggestions);
    connect(add, &QPushButton::clicked, this, &ReorderScreen::addTitle);
    connect(isbn_, &QLineEdit::returnPressed, this, &ReorderScreen::addTitle);
    connect(drop, &QPushButton::clicked, this, &ReorderScreen::dropLine);
    connect(order, &QPushButton::clicked, this, &ReorderScreen::makeDraftOrder);
    connect(close, &QPushButton::clicked, this, &ShopScreen::closeScreen);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(isbnLabel);
    buttons->addWidget(isbn_);
    buttons->addWidget(add);
    buttons->addWidget(drop);
    buttons->addStretch(1);
    buttons->addWidget(order);
    buttons->addWidget(close);
    auto *page = new QVBoxLayout(this);
    page->addWidget(heading);
    page->addLayout(days);
    page->addWidget(grid_, 1);
    page->addLayout(buttons);
    setTabOrder(suppliers_, window_);
    setTabOrder(window_, lead_);
    setTabOrder(lead_, cover_);
    setFocusProxy(suppliers_);

    policy::reportOnError(*context_.messages, [this] {
        suppliers_->addItems(shop::supplierNames(list_->session()->connection()));
        // A list left from before goes on being edited, for the supplier it was made for.
        const QString left =
            list_->session()
                ->connection()
                .scalar(QStringLiteral("SELECT min([Supplier]) FROM [reorderlist]"))
                .toString();
        chooseSupplier(left.isEmpty() ? suppliers_->currentText() : left);
        showList();
    });
}

QString ReorderScreen::supplier() const {
    return suppliers_->currentText().trimmed();
}

void ReorderScreen::chooseSupplier(const QString &supplier) {
    suppliers_->setCurrentText(supplier);
    policy::reportOnError(*context_.messages, [&] {
        const ReorderDays days = shop::reorderDays(list_->session()->connection(), supplier);
        window_->setValue(days.window);
        lead_->setValue(days.lead);
        cover_->setValue(days.cover);
    });
}

void ReorderScreen::saveDays() {
    policy::reportOnError(*context_.messages, [&] {
        shop::setReorderDays(*list_->session(), supplier(),
                             {window_->value(), lead_->value(), cover_->value()});
    });
}

void ReorderScreen::showList() {
    list_->open(QStringLiteral("select * from reorderlist order by Title"));
    grid_->rebind();
}

void ReorderScreen::listSuggestions() {
    policy::reportOnError(*context_.messages, [&] {
        if (list_->isOpen())
            list_->save(); // a quantity typed in the last line first
        shop::fillReorderList(*list_->session(), supplier(), context_.clock->today());
        showList();
        if (list_->recordCount() == 0)
            context_.messages->inform(
                QStringLiteral("No title of %1 needs reordering now.").arg(supplier()));
    });
}

void ReorderScreen::addTitle() {
    policy::reportOnError(*context_.messages, [&] {
        list_->save();
        const std::optional<OrderTitle> title =
            shop::orderTitle(list_->session()->connection(), isbn_->text());
        if (!title) {
            context_.messages->inform(
                QStringLiteral("The catalogue has no title with the ISBN \"%1\".")
                    .arg(isbn_->text().trimmed()));
            return;
        }
        shop::addToReorderList(*list_->session(), supplier(), title->bookNo,
                               context_.clock->today());
        isbn_->clear();
        showList();
    });
}

void ReorderScreen::dropLine() {
    if (!list_->isOpen() || list_->isEof() || list_->isBof()) {
        context_.messages->inform(QStringLiteral("Choose a line in the list first."));
        return;
    }
    policy::reportOnError(*context_.messages, [&] { list_->deleteCurrent(); });
}

void ReorderScreen::makeDraftOrder() {
    policy::reportOnError(*context_.messages, [&] {
        list_->save();
        const QDateTime now = context_.clock->now();
        const qint64 orderNo = shop::orderReorderList(*list_->session(), now);
        showList();
        context_.messages->inform(QStringLiteral("Draft purchase order %1 is made. Send it from "
                                                 "Purchase Orders when it is ready.")
                                      .arg(orderNo));
    });
}
