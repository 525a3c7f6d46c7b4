// The ISBN warnings: when they are asked, and what they say.
#include "isbnwarnings.h"

#include "boundlineedit.h"
#include "connection.h"
#include "datagrid.h"
#include "errorpolicy.h"
#include "isbn.h"
#include "isbnfinder.h"
#include "messageboxes.h"
#include "recordeditor.h"
#include "recordsource.h"
#include "shoptables.h"

#include <QTableView>
#include <QTimer>

namespace {
const QString keepOrMend =
    QStringLiteral("\n\nOK keeps the ISBN as typed; Cancel goes back to it to mend it.");
} // namespace

IsbnWarnings::IsbnWarnings(RecordEditor *editor, int boxIndex, const ShopContext &context)
    : QObject(editor), editor_(editor), boxIndex_(boxIndex), context_(context) {
    setObjectName(QStringLiteral("isbnWarnings"));
    if (BoundLineEdit *box = editor_->box(boxIndex_))
        connect(box, &QLineEdit::editingFinished, this, &IsbnWarnings::boxLeft);
    if (DataGrid *grid = editor_->grid()) {
        const RecordTableModel *model = grid->model();
        for (int column = 0; column < model->columnCount(); ++column)
            if (model->columns()[column].caption == QString(tables::Titles::ISBN))
                gridColumn_ = column;
        // Connected after the grid's own handling, so the cell's text has reached the row.
        connect(grid->view()->itemDelegate(), &QAbstractItemDelegate::commitData, this,
                &IsbnWarnings::cellEdited);
    }
}

// Asked once the box is left (not while the focus is still moving), and only for an ISBN the
// operator typed: looking through titles does not warn about what is stored already.
void IsbnWarnings::boxLeft() {
    BoundLineEdit *box = editor_->box(boxIndex_);
    if (!box->isModified())
        return;
    box->setModified(false);
    QTimer::singleShot(0, this, [this, box] {
        if (check(box->text()))
            return;
        box->setModified(true); // leaving it unmended asks again
        box->setFocus();
        box->selectAll();
    });
}

// A cell left with the text it had (or one that was already asked about) asks nothing.
void IsbnWarnings::cellEdited() {
    QTableView *view = editor_->grid()->view();
    const QModelIndex cell = view->currentIndex();
    if (cell.column() != gridColumn_ || gridColumn_ < 0)
        return;
    const QString typed = cell.data(Qt::EditRole).toString();
    RecordSource *source = editor_->source();
    const int bookColumn = source->fieldIndex(tables::Titles::BOOKNO);
    QString stored;
    if (bookColumn >= 0 && cell.row() == source->currentRow())
        policy::skipOnError([&] {
            namespace T = tables::Titles;
            stored = source->readingConnection()
                         .scalar(sqlb::select(T::table, {T::ISBN}).where(T::BOOKNO),
                                 {source->valueAt(cell.row(), bookColumn)})
                         .toString();
        });
    if (typed == stored || (cell.row() == lastCell_.first && typed == lastCell_.second))
        return;
    lastCell_ = {cell.row(), typed};
    QTimer::singleShot(0, this, [this, view, cell, typed] {
        if (!check(typed) && cell.isValid()) {
            view->setCurrentIndex(cell);
            view->edit(cell);
        }
    });
}

bool IsbnWarnings::check(const QString &typed) {
    const auto reading = isbn::read(typed);
    if (!reading)
        return true; // a shop's own code or a CD's number: nothing to check
    const QString problem = isbn::checkDigitProblem(typed, *reading);
    if (!problem.isEmpty() && !context_.messages->confirm(problem + keepOrMend))
        return false;
    std::vector<CatalogueMatch> matches;
    // A catalogue that cannot be read now leaves the ISBN unwarned, never refused.
    RecordSource *source = editor_->source();
    policy::skipOnError(
        [&] { matches = isbnfinder::otherForms(source->readingConnection(), typed); });
    const int row = source->currentRow();
    const int bookColumn = source->fieldIndex(tables::Titles::BOOKNO);
    if (row >= 0 && bookColumn >= 0) {
        const qint64 self = source->valueAt(row, bookColumn).toLongLong();
        std::erase_if(matches, [self](const CatalogueMatch &m) { return m.bookNo == self; });
    }
    if (matches.empty())
        return true;
    return context_.messages->confirm(
        QStringLiteral("The catalogue already has the book of ISBN \"%1\" under another form "
                       "of its ISBN:\n\n%2")
            .arg(typed, isbnfinder::listing(matches)) +
        keepOrMend);
}
