// The filter, grid and listing query of the bill screens.
#include "billlisting.h"

#include "datacombo.h"
#include "datagrid.h"
#include "datepicker.h"
#include "dialect.h"
#include "messageboxes.h"
#include "recordsource.h"
#include "screenheading.h"

#include <QGridLayout>
#include <QLabel>

namespace billlisting {

QString Filter::listingText(const char *table, const Column &date,
                            const Column &supplierColumn) const {
    return selectAll(table, QStringLiteral(" where %1<=%2 And %1>=%3 and %4=%5")
                                .arg(date.sql(), dialect::dateLiteral(to->day()),
                                     dialect::dateLiteral(from->day()), supplierColumn.sql(),
                                     dialect::quote(supplier->text())));
}

Filter makeFilter(RecordSource *suppliers, Order order, const QDate &day, QWidget *parent) {
    Filter filter;
    filter.order = order;
    auto makeSupplier = [&] {
        filter.supplier = new DataCombo(suppliers, tables::retail::RetName, parent);
        filter.supplier->setObjectName(QStringLiteral("DataCombo1"));
        filter.supplier->setMinimumContentsLength(24);
        filter.supplier->setCurrentIndex(-1); // none until the operator picks one
    };
    if (order == Order::SupplierFirst)
        makeSupplier();
    filter.from = new DatePicker(QStringLiteral("DTPicker1"), parent);
    filter.to = new DatePicker(QStringLiteral("DTPicker2"), parent);
    filter.from->setDay(day);
    filter.to->setDay(day);
    if (order == Order::PeriodFirst)
        makeSupplier();
    return filter;
}

QGridLayout *layOutFilter(const Filter &filter, QWidget *supplierCaption, QWidget *fromCaption,
                          QWidget *toCaption) {
    const int periodLine = filter.order == Order::PeriodFirst ? 0 : 1;
    const int supplierLine = 1 - periodLine;
    auto *grid = new QGridLayout;
    grid->addWidget(fromCaption, periodLine, 0);
    grid->addWidget(filter.from, periodLine, 1);
    grid->addWidget(toCaption, periodLine, 2);
    grid->addWidget(filter.to, periodLine, 3);
    grid->addWidget(supplierCaption, supplierLine, 0);
    grid->addWidget(filter.supplier, supplierLine, 1, 1, 3);
    return grid;
}

QLabel *caption(const QString &objectName, const QString &text, QWidget *buddy, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setBuddy(buddy);
    return label;
}

DataGrid *billGrid(RecordSource *bills, const QList<GridColumn> &columns, MessageBoxes *messages,
                   QWidget *parent) {
    auto *grid = named<DataGrid>("DataGrid1", bills, columns, parent);
    QObject::connect(bills, &RecordSource::dataError, grid,
                     [messages](const QString &description) { messages->inform(description); });
    return grid;
}

} // namespace billlisting
