// frmCreTitles: entering a new title into the catalogue, with subject, publisher and supplier
// picked from lists and the publication date from a picker.
#pragma once

#include "recordeditor.h"

class DataCombo;
class DatePicker;

class NewTitleScreen : public RecordEditor {
    Q_OBJECT
public:
    explicit NewTitleScreen(const ShopContext &context, QWidget *parent = nullptr);

    DataCombo *subjectList() const { return subjectList_; }
    DataCombo *publisherList() const { return publisherList_; }
    DataCombo *supplierList() const { return supplierList_; }
    DatePicker *datePicker() const { return datePicker_; }

private:
    DataCombo *addList(const char *sourceName, const char *listName, const QString &text,
                       const QString &field, int boxIndex);

    DataCombo *subjectList_;
    DataCombo *publisherList_;
    DataCombo *supplierList_;
    DatePicker *datePicker_;
};
