// Date picker holding one calendar day (no time of day), shown as the shop's date text. It
// tells changes made by the operator apart from changes made in code.
#pragma once

#include <QDate>
#include <QDateEdit>

class DatePicker : public QDateEdit {
    Q_OBJECT
public:
    // Named for the screen's code and, when `accessibleName` is given, for screen readers.
    explicit DatePicker(const QString &objectName = {}, QWidget *parent = nullptr,
                        const QString &accessibleName = {});

    // Sets the day from code: no changedByOperator signal.
    void setDay(const QDate &day);
    QDate day() const { return date(); }
    QString dayText() const; // "2001/5/3"

signals:
    void changedByOperator(const QDate &day);

protected:
    // A year typed with one or two digits ("01/5/3") is read as the short date reads it.
    void fixup(QString &input) const override;
    // Tab leaves the picker like any other box; the arrow keys step year, month and day.
    bool focusNextPrevChild(bool next) override;

private:
    bool settingFromCode_ = false;
};
