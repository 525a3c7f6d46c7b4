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
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
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
    QLabel *heading = titleHeading();
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
        days->addWidget(captionFor(QLatin1String(caption), box, this), 0, column++);
        days->addWidget(box, 0, column++);
    }
    days->setColumnStretch(1, 1);
    using Screen = ReorderScreen;
    auto *saveDays =
        stepButton("cmdSaveDays", QStringLiteral("Save &Days"), this, &Screen::saveDays);
    auto *list = stepButton("cmdList", QStringLiteral("Li&st"), this, &Screen::listSuggestions);
    days->addWidget(saveDays, 0, column++);
    days->addWidget(list, 0, column++);
    days->addWidget(
        stepButton("cmdEvery", QStringLiteral("&Every Supplier..."), this, &Screen::whichSuppliers),
        0, column++);

    grid_ = new DataGrid(list_, listColumns(), this);
    grid_->view()->setAccessibleName(QStringLiteral("Reorder list"));
    grid_->setCaption(QStringLiteral("Type the quantity to order; a line of 0 is not ordered."));

    QHBoxLayout *buttons = buttonRow(
        {captionFor(QStringLiteral("&ISBN to add:"), isbn_, this), isbn_,
         stepButton("cmdAdd", QStringLiteral("&Add Title"), this, &Screen::addTitle),
         stepButton("cmdDrop", QStringLiteral("D&rop Line"), this, &Screen::dropLine), rowStretch,
         stepButton("cmdOrder", QStringLiteral("&Make Draft Order"), this, &Screen::makeDraftOrder),
         closeButton()});
    connect(suppliers_, &QComboBox::textActivated, this, &ReorderScreen::chooseSupplier);
    connect(isbn_, &QLineEdit::returnPressed, this, &ReorderScreen::addTitle);

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

void ReorderScreen::whichSuppliers() {
    policy::reportOnError(*context_.messages, [&] {
        const std::vector<shop::SupplierWanting> wanting =
            shop::suppliersWanting(list_->session()->connection(), context_.clock->today());
        if (wanting.empty()) {
            context_.messages->inform(
                QStringLiteral("No title of any supplier needs reordering now."));
            return;
        }
        QStringList items;
        for (const shop::SupplierWanting &w : wanting)
            items << QStringLiteral("%1: %2 titles, %3 copies")
                         .arg(w.supplier)
                         .arg(w.titles)
                         .arg(w.copies);
        // A list rather than a drop-down: the operator sees every supplier at once.
        QInputDialog choice(this);
        choice.setWindowTitle(QStringLiteral("Quillmart"));
        choice.setLabelText(
            QStringLiteral("Suppliers with titles to reorder now, most copies first:"));
        choice.setComboBoxItems(items);
        choice.setOption(QInputDialog::UseListViewForComboBoxItems);
        if (choice.exec() != QDialog::Accepted)
            return;
        const QString item = choice.textValue();
        chooseSupplier(wanting[static_cast<std::size_t>(items.indexOf(item))].supplier);
        listSuggestions();
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
    if (!list_->hasCurrentRow()) {
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
