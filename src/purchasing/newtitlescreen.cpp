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
#include "shoptables.h"

namespace {

using namespace tables;

constexpr int isbnBox = Titles::ISBN.position;
constexpr int subjectBox = Titles::Subject.position;
constexpr int publisherBox = Titles::Publisher.position;
constexpr int yearBox = Titles::YearPublished.position;
constexpr int retailBox = Titles::Retail.position;

EditorDefinition newTitleDefinition() {
    EditorDefinition definition{
        screenid::NewTitle,
        "Data Creation-- Titles",
        "Data Creation -- Titles",
        selectColumns(Titles::table, Titles::columns, orderBy(Titles::BOOKNO)),
        boxesFor(Titles::columns),
        {}};
    // Filled from the lists and the date picker beside them.
    for (int box : {subjectBox, publisherBox, yearBox})
        definition.leftBoxes[box].disabled = true;
    return definition;
}

} // namespace

NewTitleScreen::NewTitleScreen(const ShopContext &context, QWidget *parent)
    : RecordEditor(newTitleDefinition(), context, parent) {
    subjectList_ =
        addList("Adodc2", "DataCombo2", selectAll(Subject::table), Subject::Subject, subjectBox);
    publisherList_ = addList("Adodc1", "DataCombo1", selectAll(publishers::table), publishers::Name,
                             publisherBox);
    supplierList_ =
        addList("Adodc3", "DataCombo3", selectAll(retail::table), retail::RetName, retailBox);

    datePicker_ =
        new DatePicker(QStringLiteral("DTPicker1"), this, QStringLiteral("Year Published"));
    // Set from code: the title current at load keeps its stored Year Published.
    datePicker_->setDay(context.clock->today());
    connect(datePicker_, &DatePicker::changedByOperator, this,
            [this](const QDate &day) { box(yearBox)->setTextAsTyped(conv::dateText(day)); });
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
    // The operator's pick is written into the box like typing: the row's field becomes pending.
    connect(list, &DataCombo::textChangedByOperator, this,
            [this, boxIndex](const QString &name) { box(boxIndex)->setTextAsTyped(name); });
    placeBeside(boxIndex, list);
    return list;
}
