// Special offers: a plain entry form over the onsale table, with a grid of every offer.
#include "onsalescreen.h"

#include "clock.h"
#include "conversions.h"
#include "datagrid.h"
#include "datepicker.h"
#include "errorpolicy.h"
#include "messageboxes.h"
#include "recordsource.h"
#include "screenheading.h"
#include "screenids.h"
#include "shopoperations.h"
#include "shoptables.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

OnSaleScreen::OnSaleScreen(const ShopContext &context, QWidget *parent)
    : ShopScreen(context, screenid::OnSale, QStringLiteral("Onsale(record)"), QSize(600, 420),
                 parent) {
    offers_ = new RecordSource(QStringLiteral("Adodc1"), context_.shop, this);
    offers_->open(QLatin1String(tables::onsale::table));
    buildControls();
    resetInputs();
}

void OnSaleScreen::buildControls() {
    QLabel *heading = screenHeading(QStringLiteral("Label1"),
                                    QStringLiteral("Create records of  On Sale"), this, 1.5, false);

    auto *inputs = new QGridLayout;
    const char *const captions[] = {"&ISBN", "&OnSale Price", "&Begin", "&End"};
    for (std::size_t i = 0; i < inputs_.size(); ++i) {
        inputs_[i] = new QLineEdit(this);
        inputs_[i]->setObjectName(QStringLiteral("Text1_%1").arg(i));
    }
    beginPicker_ = new DatePicker(QStringLiteral("DTPicker1"), this);
    endPicker_ = new DatePicker(QStringLiteral("DTPicker2"), this);
    QWidget *const fields[] = {inputs_[0], inputs_[1], beginPicker_, endPicker_};
    for (int i = 0; i < 4; ++i) {
        auto *caption = new QLabel(QString::fromLatin1(captions[i]), this);
        caption->setObjectName(QStringLiteral("lblLabels_%1").arg(i));
        caption->setBuddy(fields[i]);
        inputs->addWidget(caption, 0, i);
        inputs->addWidget(fields[i], 1, i);
    }
    inputs->setColumnStretch(0, 2);
    inputs->addWidget(
        stepButton("Command1", QStringLiteral("&Create"), this, &OnSaleScreen::createOffer), 1, 4);

    auto *grid = new DataGrid(offers_, gridColumns(tables::onsale::columns), this);
    // Offers are created and deleted here; they are edited on the onsale table's own screen.
    grid->setReadOnly(true);
    auto *deleteButton =
        stepButton("Command2", QStringLiteral("&Delete Record"), this, &OnSaleScreen::deleteOffer);

    auto *page = new QVBoxLayout(this);
    page->addWidget(heading);
    page->addSpacing(8);
    page->addLayout(inputs);
    page->addSpacing(8);
    page->addWidget(grid, 1);
    page->addWidget(deleteButton, 0, Qt::AlignLeft);

    setFocusProxy(inputs_[0]);
}

void OnSaleScreen::createOffer() {
    const QString isbn = inputs_[0]->text();
    const QString priceText = inputs_[1]->text();
    if (isbn.isEmpty() || priceText.isEmpty())
        return;
    const auto price = conv::parseMoney(priceText);
    if (!price) {
        context_.messages->inform(QStringLiteral("The on-sale price \"%1\" is not a number. "
                                                 "Please type a price such as 9.5.")
                                      .arg(priceText));
        inputs_[1]->setFocus();
        return;
    }
    const bool stored = policy::reportOnError(*context_.messages, [&] {
        offers_->save(); // what was typed into the grid first
        const qint64 rowid = shop::putOnOffer(
            *offers_->session(), {isbn, *price, beginPicker_->day(), endPicker_->day()});
        offers_->moveToStored(rowid);
    });
    if (!stored)
        return;
    resetInputs();
    inputs_[0]->setFocus();
}

void OnSaleScreen::resetInputs() {
    inputs_[0]->clear();
    inputs_[1]->clear();
    beginPicker_->setDay(context_.clock->today());
    endPicker_->setDay(context_.clock->today());
}

void OnSaleScreen::deleteOffer() {
    if (!context_.messages->confirm(QStringLiteral("This record is to be deleted.")))
        return;
    if (offers_->currentRow() < 0)
        return; // an empty table, or the selected offer was just deleted
    policy::reportOnError(*context_.messages, [this] { offers_->deleteCurrent(); });
}
