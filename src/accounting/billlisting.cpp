// The filter, grid and listing query of the bill screens.
#include "billlisting.h"

#include "datacombo.h"
#include "datagrid.h"
#include "datepicker.h"
#include "dialect.h"
#include "messageboxes.h"
#include "recordsource.h"

#include <QGridLayout>
#include <QLabel>
#include <initializer_list>

namespace billlisting {

namespace {

QList<GridColumn> underTheirNames(std::initializer_list<const char *> fields) {
    QList<GridColumn> columns;
    for (const char *field : fields)
        columns.append({QString::fromLatin1(field), QString::fromLatin1(field)});
    return columns;
}

} // namespace

void Filter::showDay(const QDate &day) const {
    from->setDay(day);
    to->setDay(day);
}

QString Filter::listingText(const Spelling &spelling) const {
    const QString date = QString::fromLatin1(spelling.dateField);
    return QStringLiteral("select * from ") + QString::fromLatin1(spelling.table) +
           QStringLiteral(" where ") + date + QStringLiteral("<=") +
           dialect::dateLiteral(to->day()) + QStringLiteral(" And ") + date + QStringLiteral(">=") +
           dialect::dateLiteral(from->day()) + QStringLiteral(" and ") +
           QString::fromLatin1(spelling.supplierField) + QStringLiteral("=") +
           dialect::quote(supplier->text());
}

Filter makeFilter(RecordSource *suppliers, Order order, QWidget *parent) {
    Filter filter;
    filter.order = order;
    auto makeSupplier = [&] {
        filter.supplier = new DataCombo(suppliers, QStringLiteral("RetName"), parent);
        filter.supplier->setObjectName(QStringLiteral("DataCombo1"));
        filter.supplier->setMinimumContentsLength(24);
        filter.supplier->setCurrentIndex(-1); // none until the operator picks one
    };
    if (order == Order::SupplierFirst)
        makeSupplier();
    filter.from = new DatePicker(parent);
    filter.from->setObjectName(QStringLiteral("DTPicker1"));
    filter.to = new DatePicker(parent);
    filter.to->setObjectName(QStringLiteral("DTPicker2"));
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

QLabel *heading(const QString &objectName, const QString &text, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    font.setBold(true);
    label->setFont(font);
    return label;
}

QList<GridColumn> billColumns() {
    return underTheirNames({"Invoice No", "Invoice Date", "Fee", "Invoice Time", "Retail"});
}

QList<GridColumn> paidBillColumns() {
    return underTheirNames({"Invoice No", "Invoice Date", "Fee", "Time", "Retail", "Paid date"});
}

DataGrid *billGrid(RecordSource *bills, const QList<GridColumn> &columns, MessageBoxes *messages,
                   QWidget *parent) {
    auto *grid = new DataGrid(bills, columns, parent);
    grid->setObjectName(QStringLiteral("DataGrid1"));
    QObject::connect(bills, &RecordSource::dataError, grid,
                     [messages](const QString &description) { messages->inform(description); });
    return grid;
}

} // namespace billlisting
