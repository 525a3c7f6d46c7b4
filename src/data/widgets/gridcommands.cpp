// Copy, Export… and Print… of a grid, and the dialogs around them.
#include "gridcommands.h"

#include "conversions.h"
#include "csvsink.h"
#include "dataerror.h"
#include "datagrid.h"
#include "gridprinter.h"
#include "messageboxes.h"
#include "printpreview.h"
#include "recordsource.h"
#include "screenheading.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QTableView>
#include <numeric>

namespace {

const QString csvFilter = QStringLiteral("CSV file (*.csv)");
const QString csvBomFilter = QStringLiteral("CSV file with byte-order mark, for Excel (*.csv)");
const QString xlsxFilter = QStringLiteral("Excel workbook (*.xlsx)");

// Lines above which printing asks first: a whole sales table would be thousands of pages.
constexpr int askBeforePrinting = 5000;

} // namespace

GridCommands::GridCommands(DataGrid *grid) : QObject(grid), grid_(grid) {
    setObjectName(QStringLiteral("gridCommands"));
    QTableView *view = grid_->view();
    // Several lines can be selected for copying; the current line stays the current row.
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);

    auto *copyAction = named<QAction>("gridCopy", QStringLiteral("&Copy"), view);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setShortcutContext(Qt::WidgetShortcut);
    connect(copyAction, &QAction::triggered, this, &GridCommands::copy);
    auto *exportAction = named<QAction>("gridExport", QStringLiteral("&Export…"), view);
    connect(exportAction, &QAction::triggered, this, &GridCommands::exportAll);
    auto *printAction = named<QAction>("gridPrint", QStringLiteral("&Print…"), view);
    connect(printAction, &QAction::triggered, this, &GridCommands::print);
    view->addActions({copyAction, exportAction, printAction});
    view->setContextMenuPolicy(Qt::ActionsContextMenu);
    view->installEventFilter(this);
}

bool GridCommands::eventFilter(QObject *watched, QEvent *event) {
    // The view copies only its current cell on Ctrl+C; the whole selected lines are wanted.
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
        copy();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

QString GridCommands::selectionText() const {
    const QTableView *view = grid_->view();
    const RecordTableModel *model = grid_->model();
    QList<int> rows;
    for (const QModelIndex &index : view->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    QByteArray text;
    if (rows.isEmpty()) {
        const QModelIndex current = view->currentIndex();
        if (current.isValid())
            CsvSink::appendField(text, model->data(current, Qt::DisplayRole).toString(), '\t');
        return QString::fromUtf8(text);
    }
    for (int row : rows) {
        for (int column = 0; column < model->columnCount(); ++column) {
            if (column > 0)
                text.append('\t');
            CsvSink::appendField(
                text, model->data(model->index(row, column), Qt::DisplayRole).toString(), '\t');
        }
        text.append('\n');
    }
    return QString::fromUtf8(text);
}

void GridCommands::copy() {
    const QString text = selectionText();
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

QString GridCommands::screenTitle() const {
    for (QWidget *widget = grid_->parentWidget(); widget != nullptr;
         widget = widget->parentWidget()) {
        if (!widget->windowTitle().isEmpty())
            return widget->windowTitle();
        if (qobject_cast<QMdiSubWindow *>(widget) != nullptr || widget->isWindow())
            break;
    }
    return grid_->caption().trimmed();
}

QList<ExportColumn> GridCommands::exportColumns() const {
    QList<ExportColumn> columns;
    const RecordTableModel *model = grid_->model();
    for (int column = 0; column < model->columnCount(); ++column)
        columns.append({model->columns()[column].field, model->columns()[column].caption,
                        model->columnKind(column)});
    return columns;
}

void GridCommands::exportAll() {
    // A list of people's names and contacts says so before it leaves the program.
    const QString notice = grid_->property(personalDataProperty).toString();
    if (!notice.isEmpty() &&
        !WidgetMessageBoxes(grid_).confirm(notice + QStringLiteral("\n\nExport it?")))
        return;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    const QString suggested =
        QDir(folder).filePath(screenTitle().simplified() + QStringLiteral(".csv"));
    QString filter = csvFilter;
    QString path = QFileDialog::getSaveFileName(
        grid_, QStringLiteral("Export"), suggested,
        QStringList{csvFilter, csvBomFilter, xlsxFilter}.join(QStringLiteral(";;")), &filter);
    if (path.isEmpty())
        return;
    // A suffix typed by the operator decides the format; otherwise the chosen filter does.
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool xlsx =
        suffix == QStringLiteral("xlsx") || (suffix.isEmpty() && filter == xlsxFilter);
    if (suffix.isEmpty())
        path += xlsx ? QStringLiteral(".xlsx") : QStringLiteral(".csv");
    exportTo(path, xlsx                     ? TableExport::Format::Xlsx
                   : filter == csvBomFilter ? TableExport::Format::CsvWithByteOrderMark
                                            : TableExport::Format::Csv);
}

bool GridCommands::exportTo(const QString &path, TableExport::Format format) {
    RecordSource *source = grid_->model()->source();
    QProgressDialog progress(QStringLiteral("Exporting the list…"), QStringLiteral("Cancel"), 0, 0,
                             grid_);
    progress.setObjectName(QStringLiteral("exportProgress"));
    progress.setWindowTitle(QString::fromLatin1(applicationTitle()));
    // Nothing else on screen may re-read the list while it is written.
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(400);
    try {
        return TableExport::run(
            *source, exportColumns(), path, format, screenTitle(),
            [&progress](int written, int known, bool allKnown) {
                progress.setMaximum(allKnown ? known : 0);
                progress.setValue(allKnown ? written : 0);
                progress.setLabelText(
                    allKnown ? QStringLiteral("Exporting row %1 of %2…").arg(written).arg(known)
                             : QStringLiteral("Exporting row %1…").arg(written));
                QApplication::processEvents();
                return !progress.wasCanceled();
            });
    } catch (const DataError &error) {
        showFailure(QStringLiteral("The list could not be exported. %1").arg(error.description()));
        return false;
    }
}

PrintedTable GridCommands::printedTable() const {
    const RecordTableModel *model = grid_->model();
    RecordSource *source = model->source();
    PrintedTable table;
    table.title = screenTitle();
    table.subtitle = grid_->caption();
    table.date = conv::dateText(QDate::currentDate());
    QList<int> sourceColumns;
    for (int column = 0; column < model->columnCount(); ++column) {
        const GridColumn &shown = model->columns()[column];
        const int field = source->isOpen() ? source->fieldIndex(shown.field) : -1;
        sourceColumns << field;
        table.captions << shown.caption;
        table.widths << grid_->view()->columnWidth(column);
        table.alignedRight << (field >= 0 && isNumberKind(model->columnKind(column)));
    }
    table.rows = source->isOpen() ? source->recordCount() : 0;
    table.cell = [source, sourceColumns](int row, int column) {
        const int field = sourceColumns.value(column, -1);
        return field < 0 ? QString() : source->textAt(row, field);
    };
    return table;
}

void GridCommands::print() {
    PrintedTable table;
    try {
        table = printedTable(); // reads the whole list
    } catch (const DataError &error) {
        showFailure(error.description());
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(table.title);
    if (std::accumulate(table.widths.begin(), table.widths.end(), 0) > 700)
        printer.setPageOrientation(QPageLayout::Landscape);
    if (table.rows > askBeforePrinting) {
        const int pages = table.rows / qMax(1, gridprinter::rowsPerPage(printer)) + 1;
        if (!WidgetMessageBoxes(grid_).confirm(
                QStringLiteral("The list has %1 rows, about %2 pages. Show them all for printing?")
                    .arg(table.rows)
                    .arg(pages)))
            return;
    }
    QPrintPreviewDialog preview(&printer, grid_);
    preview.setObjectName(QStringLiteral("printPreview"));
    preview.setWindowTitle(table.title);
    printpreview::fit(&preview, QSize(820, 680));
    connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
            [&table](QPrinter *device) { gridprinter::print(*device, table); });
    preview.exec();
}

void GridCommands::showFailure(const QString &text) const {
    WidgetMessageBoxes(grid_).inform(text, MessageBoxes::Icon::Warning);
}
