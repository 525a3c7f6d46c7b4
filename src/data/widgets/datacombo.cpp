// Drop-down list filled once from one field of a record source.
#include "datacombo.h"

#include "recordsource.h"

#include <QLineEdit>

DataCombo::DataCombo(RecordSource *listSource, const QString &field, QWidget *parent)
    : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(20);
    if (listSource->isOpen()) {
        const int column = listSource->fieldIndex(field);
        QStringList names;
        for (int row = 0; column >= 0 && row < listSource->recordCount(); ++row)
            names << listSource->textAt(row, column);
        addItems(names);
    }
    // Both a pick from the list and typing change the text; code changes (setText) are
    // made with signals blocked by the screens when they must stay silent.
    connect(this, &QComboBox::textActivated, this, &DataCombo::textChangedByOperator);
    connect(lineEdit(), &QLineEdit::textEdited, this, &DataCombo::textChangedByOperator);
}
