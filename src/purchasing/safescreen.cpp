// The safe-quantity screen: a read-only list, computed when the screen opens, of the titles
// to reorder and the supplier each comes from.
#include "safescreen.h"

#include "datagrid.h"
#include "errorpolicy.h"
#include "recordsource.h"
#include "screenheading.h"
#include "screenids.h"
#include "shoptables.h"

#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

SafeScreen::SafeScreen(const ShopContext &context, QWidget *parent)
    : ShopScreen(context, screenid::SafeQty, QStringLiteral("Safe quantity"), QSize(), parent) {
    auto *titles = new RecordSource(QStringLiteral("Adodc1"), context_.shop, this);

    QLabel *title = screenHeading(QStringLiteral("Label1"), QStringLiteral("Safe Quantity"), this);
    auto *listCaption = named<QLabel>("Label2", QStringLiteral("Insufficient Quantity"), this);

    using namespace tables;
    const Column shown[] = {Titles::ISBN,      Titles::Title, Titles::Author,  Titles::Subject,
                            Titles::Publisher, Titles::Qty,   Titles::SafeQty, Titles::Retail};
    grid_ = new DataGrid(titles, gridColumns(shown), this);
    // A list to reorder from, not a place to change stock: that is done where stock arrives.
    grid_->setReadOnly(true);
    listCaption->setBuddy(grid_->view());

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(listCaption);
    layout->addWidget(grid_, 1);
    // An unreadable shop must not pass for a shop with nothing to reorder.
    policy::reportOnError(*context_.messages, [&] {
        titles->open(selectAll(
            Titles::table,
            QStringLiteral(" where %1 < %2").arg(Titles::Qty.sql(), Titles::SafeQty.sql())));
    });
}

QSize SafeScreen::sizeHint() const {
    const int gridWidth = grid_->widthForAllColumns();
    const QMargins margins = layout()->contentsMargins();
    return QWidget::sizeHint().expandedTo(
        QSize(qMin(gridWidth + margins.left() + margins.right(), 1000), 420));
}
