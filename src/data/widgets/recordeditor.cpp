// The bound record editor: layout, the five buttons' handlers and the close of the window.
#include "recordeditor.h"

#include "boundlineedit.h"
#include "datagrid.h"
#include "errorpolicy.h"
#include "messageboxes.h"
#include "navigator.h"
#include "recordsource.h"
#include "screenheading.h"
#include "screenopener.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <utility>

RecordEditor::RecordEditor(EditorDefinition definition, const ShopContext &context, QWidget *parent)
    : ShopScreen(context, definition.screenId, definition.caption, QSize(), parent),
      definition_(std::move(definition)) {
    source_ = new RecordSource(QStringLiteral("datPrimaryRS"), context_.shop, this);
    source_->open(definition_.recordSource);
    connect(source_, &RecordSource::dataError, this, &RecordEditor::showDataError);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(screenHeading(QStringLiteral("Label2"), definition_.heading, this, 1.4));

    boxGrid_ = new QGridLayout;
    boxGrid_->setColumnStretch(1, 1);
    if (!definition_.rightBoxes.empty()) {
        boxGrid_->setColumnMinimumWidth(3, 16); // a gap between the two columns of boxes
        boxGrid_->setColumnStretch(5, 1);
    }
    buildBoxes(definition_.leftBoxes, 0);
    buildBoxes(definition_.rightBoxes, 4);
    layout->addLayout(boxGrid_);

    extraArea_ = new QVBoxLayout;
    layout->addLayout(extraArea_);

    if (!definition_.gridColumns.isEmpty()) {
        QList<GridColumn> columns;
        for (const QString &field : definition_.gridColumns)
            columns.append({field, field});
        grid_ = new DataGrid(source_, columns, this);
        layout->addWidget(grid_, 1);
    } else {
        layout->addStretch(1);
    }
    layout->addWidget(buildButtonBar());
    navigator_ = new Navigator(source_, this);
    layout->addWidget(navigator_);
}

void RecordEditor::buildBoxes(const std::vector<EditorBox> &boxes, int firstColumn) {
    int row = 0;
    for (const EditorBox &spec : boxes) {
        auto *label = new QLabel(spec.label, this);
        label->setObjectName(QStringLiteral("lblLabels_%1").arg(spec.index));
        auto *box = new BoundLineEdit(source_, spec.field, this);
        box->setObjectName(QStringLiteral("txtFields_%1").arg(spec.index));
        box->setEnabled(!spec.disabled);
        box->setMinimumWidth(box->fontMetrics().averageCharWidth() * 24); // a whole ISBN
        box->setAccessibleName(spec.label);
        label->setBuddy(box);
        boxGrid_->addWidget(label, row, firstColumn);
        boxGrid_->addWidget(box, row, firstColumn + 1);
        if (!spec.autoLabel.isEmpty()) {
            auto *autoLabel = named<QLabel>("Label1", spec.autoLabel, this);
            boxGrid_->addWidget(autoLabel, row, firstColumn + 2);
        }
        boxes_[spec.index] = box;
        besideCell_[spec.index] = {row, firstColumn + 2};
        ++row;
    }
}

QWidget *RecordEditor::buildButtonBar() {
    auto *bar = named<QWidget>("picButtons", this);
    using E = RecordEditor;
    QHBoxLayout *layout =
        buttonRow({stepButton("cmdAdd", QStringLiteral("AddNew"), this, &E::addNew),
                   stepButton("cmdUpdate", QStringLiteral("Update"), this, &E::update),
                   stepButton("cmdDelete", QStringLiteral("Delete"), this, &E::deleteRow),
                   stepButton("cmdRefresh", QStringLiteral("Refresh"), this, &E::refresh),
                   stepButton("cmdClose", QStringLiteral("Close"), this, &E::closeScreen)});
    layout->setContentsMargins(0, 4, 0, 4);
    bar->setLayout(layout);
    return bar;
}

BoundLineEdit *RecordEditor::box(int index) const {
    auto it = boxes_.find(index);
    return it == boxes_.end() ? nullptr : it->second;
}

void RecordEditor::placeBeside(int index, QWidget *widget) {
    auto it = besideCell_.find(index);
    if (it == besideCell_.end()) {
        extraArea_->addWidget(widget);
        return;
    }
    boxGrid_->addWidget(widget, it->second.first, it->second.second);
    QWidget::setTabOrder(box(index), widget); // the list right after the box it fills
}

void RecordEditor::addNew() {
    if (!definition_.addOpensShared.isEmpty()) {
        context_.opener->openShared(definition_.addOpensShared);
        closeScreen();
        return;
    }
    policy::reportOnError(*context_.messages, [this] { source_->addNew(); });
}

void RecordEditor::update() {
    policy::reportOnError(*context_.messages, [this] { source_->save(); });
}

// No question asked: the row goes at once, then the next row (or the new last one) is current.
void RecordEditor::deleteRow() {
    policy::reportOnError(*context_.messages, [this] {
        source_->deleteCurrent();
        source_->moveNext();
        if (source_->isEof())
            source_->moveLast();
    });
}

void RecordEditor::refresh() {
    policy::reportOnError(*context_.messages, [this] { source_->requery(); });
}

void RecordEditor::showDataError(const QString &description) {
    context_.messages->inform(QStringLiteral("Data error event hit err:") + description);
}

void RecordEditor::closeEvent(QCloseEvent *event) {
    event->setAccepted(settlePendingRow());
}

// A row the operator changed is saved, never dropped unasked. When it cannot be saved the
// operator reads why and chooses: give the changes up, or keep the window to mend them.
bool RecordEditor::settlePendingRow() {
    if (!source_->hasPending())
        return true;
    if (source_->isPendingBlank()) {
        source_->cancelPending(); // AddNew and nothing typed: nothing to keep
        return true;
    }
    if (policy::reportOnError(*context_.messages, [this] { source_->save(); }))
        return true;
    if (!context_.messages->confirm(QStringLiteral("The changes of the current row were not "
                                                   "saved. Close the window and give them up?")))
        return false;
    source_->cancelPending();
    return true;
}
