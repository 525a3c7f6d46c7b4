// The shared shape of the sales reports: controls, layout, listing and totalling.
#include "salesreportscreen.h"

#include "chartwindow.h"
#include "datagrid.h"
#include "datepicker.h"
#include "errorpolicy.h"
#include "recordsource.h"
#include "salestotal.h"
#include "screenheading.h"
#include "shoptables.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

SalesReportScreen::SalesReportScreen(const ShopContext &context, const Description &description,
                                     const QString &firstListing, QWidget *parent)
    : ShopScreen(context, description.screenId, description.windowTitle, description.openingSize,
                 parent),
      sales_(new RecordSource(QStringLiteral("Adodc1"), context.shop, this)),
      description_(description) {
    sales_->open(firstListing);
}

QPushButton *SalesReportScreen::chartButton() {
    return ChartWindow::button(this, sales_, QLatin1String(description_.chartTip),
                               [this] { return description_.chart(*sales_, grid_->caption()); });
}

void SalesReportScreen::addGridAndTotal(QLayout *pickRow, QWidget *lastPick) {
    auto *heading =
        screenHeading(QStringLiteral("Label2"), QLatin1String(description_.heading), this, 1.4);

    // Reports never change a sale, so the grid takes no edits. The title takes the width
    // the other columns leave, so the grid has no blank strip.
    grid_ = new DataGrid(sales_, gridColumns(tables::soldbook::columns), this);
    grid_->setReadOnly(true);
    grid_->view()->horizontalHeader()->setSectionResizeMode(tables::soldbook::Title.position,
                                                            QHeaderView::Stretch);

    auto *totalCaption = named<QLabel>(description_.totalCaptionName,
                                       QLatin1String(description_.totalCaption), this);
    totalLabel_ = named<QLabel>("Label4", this);
    // Heard by the sum it shows; what the sum is comes as its description.
    totalLabel_->setAccessibleDescription(QStringLiteral("Total sum"));
    totalLabel_->setFrameShape(QFrame::Panel);
    totalLabel_->setFrameShadow(QFrame::Sunken);
    totalLabel_->setMinimumWidth(120);
    totalLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    totalLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    totalCaption->setBuddy(totalLabel_); // the caption labels the sum for screen readers

    auto *totalButton =
        stepButton(description_.totalButtonName, QLatin1String(description_.totalButtonName), this,
                   &SalesReportScreen::total);
    totalButton->setVisible(false);

    QHBoxLayout *totalRow = buttonRow({rowStretch, totalCaption, totalLabel_});
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(pickRow);
    layout->addWidget(grid_, 1);
    layout->addLayout(totalRow);
    setTabOrder(lastPick, grid_->view());
}

void SalesReportScreen::listSales(const QString &period, const QString &query) {
    policy::skipOnError(
        [&] { grid_->setCaption(QLatin1Char(' ') + period + QStringLiteral("  Sale Report")); });
    if (policy::skipOnError([&] { sales_->open(query); }))
        total();
    else
        totalLabel_->clear();
}

void SalesReportScreen::total() {
    // Emptied first: if the sum cannot be made, no figure of another period stays on screen.
    totalLabel_->clear();
    // SQLite totals the period on the indexed sale date: the grid holds only the screenful
    // it shows, however many sales a year has.
    policy::skipOnError([&] {
        totalLabel_->setText(salestotal::takings(sales_->readingConnection(), firstPicker_->day(),
                                                 lastPicker_->day())
                                 .text());
    });
}
