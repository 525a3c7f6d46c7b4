// Drop-down list filled once, at load, from one field of one record source, in record-set
// order. Its text is the chosen entry or what the operator typed. It never writes into the
// table its list comes from.
#pragma once

#include <QComboBox>

class RecordSource;

class DataCombo : public QComboBox {
    Q_OBJECT
public:
    // Fills the list from the field of every row of the source (already open).
    DataCombo(RecordSource *listSource, const QString &field, QWidget *parent = nullptr);

    QString text() const { return currentText(); }
    void setText(const QString &text) { setEditText(text); }
    void clearText() { setEditText(QString()); }

signals:
    // The text changed, by the operator's choice or typing.
    void textChangedByOperator(const QString &text);
};
