// The data grid: caption line, table view, and the current row kept in step with the source.
#include "datagrid.h"

#include "dataerror.h"
#include "gridcommands.h"
#include "longread.h"
#include "recordsource.h"
#include "screenheading.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

namespace {
// Columns are sized from the heading and the first screenful, never from every row.
constexpr int sampledRows = 40;
constexpr int widestColumn = 320;

// A screen reader hears the grid by its caption line, or as the rows of its table.
void nameForReaders(QTableView *view, const QLabel *caption, const RecordSource *source) {
    view->setAccessibleName(!caption->text().isEmpty()
                                ? caption->text()
                                : QStringLiteral("Rows of %1").arg(source->tableName()));
}
} // namespace

DataGrid::DataGrid(RecordSource *source, QList<GridColumn> columns, QWidget *parent)
    : QWidget(parent), source_(source) {
    setObjectName(QStringLiteral("DataGrid1"));
    longread::showProgress(source, this);
    model_ = new RecordTableModel(source, std::move(columns), this);
    captionLabel_ = named<QLabel>("caption", this);
    captionLabel_->setAlignment(Qt::AlignCenter);
    captionLabel_->setFrameShape(QFrame::Panel);
    captionLabel_->setVisible(false);
    view_ = new QTableView(this);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    // Row height and resize mode before the model: set afterwards, the header would resize
    // and signal every one of a large record set's rows.
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 6);
    view_->verticalHeader()->setFixedWidth(18);
    view_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    view_->setModel(model_);
    view_->setAlternatingRowColors(true);
    view_->setTabKeyNavigation(false);
    nameForReaders(view_, captionLabel_, source_);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(captionLabel_);
    layout->addWidget(view_);

    connect(source_, &RecordSource::moved, this, &DataGrid::followSource);
    connect(source_, &RecordSource::reset, this, [this] {
        nameForReaders(view_, captionLabel_, source_);
        sizeColumns();
        followSource();
    });
    // While a row leaves the set the view moves its own current line; the record set decides
    // which row is current, so the view's moves are not followed then.
    connect(source_, &RecordSource::rowAboutToBeRemoved, this, [this] { syncing_ = true; });
    connect(source_, &RecordSource::rowRemoved, this, [this] { syncing_ = false; });
    connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { followView(current.row()); });
    sizeColumns();
    followSource();
    new GridCommands(this); // Copy, Export…, Print…
}

void DataGrid::setCaption(const QString &caption) {
    captionLabel_->setText(caption);
    captionLabel_->setVisible(!caption.isEmpty());
    nameForReaders(view_, captionLabel_, source_);
}

QString DataGrid::caption() const {
    return captionLabel_->text();
}

void DataGrid::setReadOnly(bool readOnly) {
    model_->setReadOnly(readOnly);
    view_->setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers
                                    : QAbstractItemView::DoubleClicked |
                                          QAbstractItemView::EditKeyPressed |
                                          QAbstractItemView::AnyKeyPressed);
}

int DataGrid::currentLine() const {
    const QModelIndex index = view_->selectionModel()->currentIndex();
    return index.isValid() ? index.row() : -1;
}

int DataGrid::widthForAllColumns() const {
    return view_->horizontalHeader()->length() + view_->verticalHeader()->width() +
           view_->verticalScrollBar()->sizeHint().width() + 2 * view_->frameWidth();
}

void DataGrid::followSource() {
    syncing_ = true;
    const int row = source_->currentRow();
    if (row >= 0 && row < model_->rowCount()) {
        const QModelIndex index = model_->index(row, qMax(0, view_->currentIndex().column()));
        view_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                            QItemSelectionModel::Rows);
        view_->scrollTo(index);
    } else {
        view_->selectionModel()->clear();
    }
    syncing_ = false;
}

void DataGrid::followView(int row) {
    if (syncing_ || row < 0 || row >= source_->loadedCount() || row == source_->currentRow())
        return;
    try {
        source_->moveTo(row);
    } catch (const DataError &error) {
        source_->reportError(error.description());
        followSource(); // the move did not happen: show the row that is still current
    }
}

void DataGrid::sizeColumns() {
    const QFontMetrics metrics = view_->fontMetrics();
    const int rows = qMin(model_->rowCount(), sampledRows);
    for (int column = 0; column < model_->columnCount(); ++column) {
        int width = metrics.horizontalAdvance(model_->columns()[column].caption) + 24;
        for (int row = 0; row < rows; ++row)
            width = qMax(width,
                         metrics.horizontalAdvance(
                             model_->data(model_->index(row, column), Qt::DisplayRole).toString()) +
                             12);
        view_->setColumnWidth(column, qMin(width, widestColumn));
    }
}

DataGrid *listGrid(RecordSource *source, QList<GridColumn> columns, const QString &accessibleName,
                   QWidget *parent) {
    auto *grid = new DataGrid(source, std::move(columns), parent);
    grid->setReadOnly(true);
    grid->view()->setAccessibleName(accessibleName);
    return grid;
}
