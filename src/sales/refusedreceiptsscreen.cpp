// The list of what the shop refused from its tills: receipts, refunds and cash movements made
// while the server was away (the reason says which; the work as the till made it beside).
#include "refusedreceiptsscreen.h"

#include "datagrid.h"
#include "errorpolicy.h"
#include "recordsource.h"
#include "screenheading.h"
#include "screenids.h"
#include "shopsteps.h"
#include "shoptables.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

using namespace tables;

RefusedReceiptsScreen::RefusedReceiptsScreen(const ShopContext &context, QWidget *parent)
    : ShopScreen(context, screenid::RefusedReceipts, QStringLiteral("Refused Receipts"),
                 QSize(820, 420), parent),
      refused_(new RecordSource(QStringLiteral("Adodc1"), context.shop, this)) {
    refused_->open(selectAll(refusedreceipts::table,
                             orderBy(refusedreceipts::Refused) + QStringLiteral(" desc")));
    QLabel *heading = titleHeading();
    grid_ = listGrid(refused_,
                     {{refusedreceipts::Refused, QStringLiteral("Refused")},
                      {refusedreceipts::Till, QStringLiteral("Till")},
                      {refusedreceipts::Reason, QStringLiteral("Reason")},
                      {refusedreceipts::Receipt, QStringLiteral("Identifier")},
                      {refusedreceipts::Made, QStringLiteral("As the till made it")}},
                     QStringLiteral("Refused receipts"), this);
    grid_->setCaption(QStringLiteral("Receipts, refunds and cash movements a till made while "
                                     "the server was away and the shop could not store; book "
                                     "each by hand, then keep the list as a record."));
    QHBoxLayout *buttons = buttonRow({stepButton("cmdRefresh", QStringLiteral("&Refresh"), this,
                                                 &RefusedReceiptsScreen::refresh),
                                      rowStretch, closeButton()});
    auto *page = new QVBoxLayout(this);
    page->addWidget(heading);
    page->addWidget(grid_, 1);
    page->addLayout(buttons);
    setFocusProxy(grid_->view());
}

void RefusedReceiptsScreen::refresh() {
    policy::reportOnError(*context_.messages, [this] { refused_->requery(); });
}
