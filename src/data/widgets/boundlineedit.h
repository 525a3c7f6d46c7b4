// A text box bound to one field of a record source: it shows the current row's value and
// hands what the operator types to the record set as a pending change.
#pragma once

#include <QLineEdit>

class RecordSource;

class BoundLineEdit : public QLineEdit {
    Q_OBJECT
public:
    BoundLineEdit(RecordSource *source, const QString &field, QWidget *parent = nullptr);
    QString field() const { return field_; }
    // Shows the current row's value again (after a move or a change made in code).
    void refresh();
    // Sets the text as if typed: the current row's field becomes pending.
    void setTextAsTyped(const QString &text);

private:
    RecordSource *source_;
    QString field_;
};
