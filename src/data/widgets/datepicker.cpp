// Date picker showing the shop's date text, with operator changes told apart from code.
#include "datepicker.h"

#include "conversions.h"

DatePicker::DatePicker(const QString &objectName, QWidget *parent, const QString &accessibleName)
    : QDateEdit(parent) {
    setObjectName(objectName);
    if (!accessibleName.isEmpty())
        setAccessibleName(accessibleName);
    setCalendarPopup(true);
    setDisplayFormat(QStringLiteral("yyyy/M/d"));
    setMinimumDate(QDate(100, 1, 1));
    setMaximumDate(QDate(9999, 12, 31));
    // What was typed is settled by fixup() (a short year read as the short date reads it),
    // not thrown away for the previous day.
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    connect(this, &QDateEdit::dateChanged, this, [this](const QDate &day) {
        if (!settingFromCode_)
            emit changedByOperator(day);
    });
}

void DatePicker::setDay(const QDate &day) {
    settingFromCode_ = true;
    setDate(day);
    settingFromCode_ = false;
}

QString DatePicker::dayText() const {
    return conv::dateText(date());
}

bool DatePicker::focusNextPrevChild(bool next) {
    return QWidget::focusNextPrevChild(next);
}

void DatePicker::fixup(QString &input) const {
    const QDate typed = conv::parseDate(input);
    if (typed.isValid() && typed >= minimumDate() && typed <= maximumDate()) {
        input = conv::dateText(typed);
        return;
    }
    QDateEdit::fixup(input);
}
