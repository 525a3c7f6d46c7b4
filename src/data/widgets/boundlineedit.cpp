// A text box bound to one field of the record source's current row.
#include "boundlineedit.h"

#include "dataerror.h"
#include "recordsource.h"

BoundLineEdit::BoundLineEdit(RecordSource *source, const QString &field, QWidget *parent)
    : QLineEdit(parent), source_(source), field_(field) {
    connect(source_, &RecordSource::moved, this, &BoundLineEdit::refresh);
    connect(source_, &RecordSource::reset, this, &BoundLineEdit::refresh);
    connect(source_, &RecordSource::rowChanged, this, [this](int row) {
        if (row == source_->currentRow())
            refresh();
    });
    connect(this, &QLineEdit::textEdited, this, &BoundLineEdit::setTextAsTyped);
    refresh();
}

void BoundLineEdit::refresh() {
    QString shown;
    const int column = source_->isOpen() ? source_->fieldIndex(field_) : -1;
    const int row = source_->currentRow();
    if (column >= 0 && row >= 0)
        shown = source_->textAt(row, column);
    if (shown != text()) {
        const int cursor = cursorPosition();
        setText(shown);
        setCursorPosition(qMin(cursor, shown.size()));
    }
}

void BoundLineEdit::setTextAsTyped(const QString &text) {
    try {
        source_->setText(source_->fieldIndex(field_), text);
    } catch (const DataError &error) {
        refresh(); // no current row to take the text
        source_->reportError(error.description());
        return;
    }
    if (this->text() != text)
        setText(text);
}
