// frmCreTitles: the record editor on Titles without a grid, plus three lists and a date picker
// that fill their boxes.
#include "newtitlescreen.h"

#include "boundlineedit.h"
#include "clock.h"
#include "conversions.h"
#include "datacombo.h"
#include "datepicker.h"
#include "isbnwarnings.h"
#include "recordsource.h"
#include "screenids.h"

namespace {

EditorDefinition newTitleDefinition() {
    return {screenid::NewTitle,
            "Data Creation-- Titles",
            "Data Creation -- Titles",
            "select BOOKNO,ISBN,Title,Author,Subject,Publisher,[Year Published],[Fixed Price],"
            "[Sale Price],PurchasePrice,Qty,SafeQty,Retail from Titles Order by BOOKNO",
            {{"BOOKNO:", 0, "BOOKNO", true, "(Auto)"},
             {"ISBN:", 1, "ISBN"},
             {"Title:", 2, "Title"},
             {"Author:", 3, "Author"},
             {"Subject:", 4, "Subject", true},
             {"Publisher:", 5, "Publisher", true},
             {"Year Published:", 6, "Year Published", true},
             {"Fixed Price:", 7, "Fixed Price"},
             {"Sale Price:", 8, "Sale Price"},
             {"PurchasePrice:", 9, "PurchasePrice"},
             {"Qty:", 10, "Qty"},
             {"SafeQty:", 11, "SafeQty"},
             {"Retail:", 12, "Retail"}},
            {}};
}

constexpr int isbnBox = 1;
constexpr int subjectBox = 4;
constexpr int publisherBox = 5;
constexpr int yearBox = 6;
constexpr int retailBox = 12;

} // namespace

NewTitleScreen::NewTitleScreen(const ShopContext &context, QWidget *parent)
    : RecordEditor(newTitleDefinition(), context, parent) {
    subjectList_ = addList("Adodc2", "DataCombo2", QStringLiteral("select * from subject"),
                           QStringLiteral("Subject"), subjectBox);
    publisherList_ = addList("Adodc1", "DataCombo1", QStringLiteral("select * from publishers"),
                             QStringLiteral("Name"), publisherBox);
    supplierList_ = addList("Adodc3", "DataCombo3", QStringLiteral("select * from retail"),
                            QStringLiteral("RetName"), retailBox);
    connect(subjectList_, &DataCombo::textChangedByOperator, this, &NewTitleScreen::subjectPicked);
    connect(publisherList_, &DataCombo::textChangedByOperator, this,
            &NewTitleScreen::publisherPicked);
    connect(supplierList_, &DataCombo::textChangedByOperator, this,
            &NewTitleScreen::supplierPicked);

    datePicker_ = new DatePicker(this);
    datePicker_->setObjectName(QStringLiteral("DTPicker1"));
    datePicker_->setAccessibleName(QStringLiteral("Year Published"));
    // Set from code: the title current at load keeps its stored Year Published.
    datePicker_->setDay(context.clock->today());
    connect(datePicker_, &DatePicker::changedByOperator, this, &NewTitleScreen::datePicked);
    placeBeside(yearBox, datePicker_);
    new IsbnWarnings(this, isbnBox, context);
}

DataCombo *NewTitleScreen::addList(const char *sourceName, const char *listName,
                                   const QString &text, const QString &field, int boxIndex) {
    auto *listSource = new RecordSource(QString::fromLatin1(sourceName), source()->session(), this);
    listSource->open(text);
    auto *list = new DataCombo(listSource, field, this);
    list->setObjectName(QString::fromLatin1(listName));
    list->setAccessibleName(field);
    list->clearText(); // nothing is picked until the operator picks
    placeBeside(boxIndex, list);
    return list;
}

void NewTitleScreen::subjectPicked(const QString &name) {
    box(subjectBox)->setTextAsTyped(name);
}

void NewTitleScreen::publisherPicked(const QString &name) {
    box(publisherBox)->setTextAsTyped(name);
}

void NewTitleScreen::supplierPicked(const QString &name) {
    box(retailBox)->setTextAsTyped(name);
}

void NewTitleScreen::datePicked(const QDate &day) {
    box(yearBox)->setTextAsTyped(conv::dateText(day));
}
