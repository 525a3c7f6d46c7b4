// Shared controls of the sales reports.
#include "reportlayout.h"

#include "datagrid.h"
#include "shoptables.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace reportlayout {

DataGrid *salesGrid(RecordSource *sales, QWidget *parent) {
    auto *grid = new DataGrid(sales, gridColumns(tables::soldbook::columns), parent);
    grid->setReadOnly(true);
    // The title takes the width the other columns leave, so the grid has no blank strip.
    grid->view()->horizontalHeader()->setSectionResizeMode(tables::soldbook::Title.position,
                                                           QHeaderView::Stretch);
    return grid;
}

QLabel *totalBox(const QString &objectName, const QString &name, QWidget *parent) {
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    // Heard by the sum it shows; what the sum is comes as its description.
    label->setAccessibleDescription(name);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setMinimumWidth(120);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QPushButton *hiddenTotalButton(const QString &objectName, QWidget *parent) {
    auto *button = new QPushButton(objectName, parent);
    button->setObjectName(objectName);
    button->setVisible(false);
    return button;
}

void stack(QWidget *screen, QLabel *heading, QLayout *pickRow, DataGrid *grid, QLabel *totalCaption,
           QLabel *totalBox) {
    auto *totalRow = new QHBoxLayout;
    totalRow->addStretch();
    totalRow->addWidget(totalCaption);
    totalRow->addWidget(totalBox);
    totalCaption->setBuddy(totalBox); // the caption labels the sum for screen readers
    auto *layout = new QVBoxLayout(screen);
    layout->addWidget(heading);
    layout->addLayout(pickRow);
    layout->addWidget(grid, 1);
    layout->addLayout(totalRow);
}

} // namespace reportlayout
