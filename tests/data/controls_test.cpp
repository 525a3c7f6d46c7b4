// The data-bound controls over a record source.
#include "boundlineedit.h"
#include "datacombo.h"
#include "datagrid.h"
#include "datepicker.h"
#include "navigator.h"
#include "recordsource.h"
#include "testsupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class Controls : public ::testing::Test {
protected:
    void SetUp() override {
        db.exec("INSERT INTO retail (RetName) VALUES ('North'),('O''Hara Books'),('台北圖書')");
        rs.open("select *  from retail Order by RetNo");
    }
    TestDatabase db;
    RecordSource rs{"Adodc1", db.shop()};
};

} // namespace

TEST_F(Controls, GridSelectionAndCurrentRowAreOne) {
    DataGrid grid(&rs, {{"RetNo", ""}, {"RetName", "Name"}});
    EXPECT_EQ(grid.model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Name");
    EXPECT_EQ(grid.model()->rowCount(), 3);
    EXPECT_EQ(grid.currentLine(), 0);
    rs.moveLast();
    EXPECT_EQ(grid.currentLine(), 2);
    grid.view()->selectRow(1);
    EXPECT_EQ(rs.position(), 2);
    EXPECT_EQ(grid.model()->data(grid.model()->index(2, 1), Qt::DisplayRole).toString(),
              "台北圖書");
}

TEST_F(Controls, GridEditsBecomePendingAndAutoNumbersAreNotEditable) {
    DataGrid grid(&rs, {{"RetNo", ""}, {"RetName", ""}});
    EXPECT_FALSE(grid.model()->flags(grid.model()->index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_TRUE(grid.model()->setData(grid.model()->index(1, 1), "O'Hara & Sons", Qt::EditRole));
    EXPECT_EQ(rs.position(), 2);
    EXPECT_TRUE(rs.hasPending());
    rs.moveFirst();
    EXPECT_EQ(db.scalar("SELECT RetName FROM retail WHERE RetNo=2").toString(), "O'Hara & Sons");
    grid.setReadOnly(true);
    EXPECT_FALSE(grid.model()->setData(grid.model()->index(0, 1), "x", Qt::EditRole));
}

TEST_F(Controls, GridFollowsANewQuery) {
    DataGrid grid(&rs, {{"RetName", ""}});
    grid.setCaption(" 2001/5/3  Sale Report");
    EXPECT_EQ(grid.caption(), " 2001/5/3  Sale Report");
    rs.open("select * from retail where RetName='North'");
    EXPECT_EQ(grid.model()->rowCount(), 1);
}

TEST_F(Controls, NavigatorShowsThePositionAndStaysWithinTheRows) {
    Navigator nav(&rs);
    EXPECT_EQ(nav.caption(), "Record: 1");
    nav.previous();
    EXPECT_EQ(nav.caption(), "Record: 1");
    nav.last();
    nav.next();
    EXPECT_EQ(nav.caption(), "Record: 3");
    rs.deleteCurrent();
    EXPECT_EQ(nav.caption(), "Record: -1");
}

TEST_F(Controls, NavigatorReportsAFailedSaveAsADataError) {
    RecordSource titles("datPrimaryRS", db.shop());
    db.exec("INSERT INTO Titles (ISBN) VALUES ('1'),('2')");
    titles.open("select * from Titles");
    Navigator nav(&titles);
    QSignalSpy errors(&titles, &RecordSource::dataError);
    titles.setText(titles.fieldIndex("Qty"), "lots");
    nav.next();
    ASSERT_EQ(errors.count(), 1);
    EXPECT_TRUE(errors.at(0).at(0).toString().contains("Qty"));
    EXPECT_EQ(nav.caption(), "Record: 1");
}

TEST_F(Controls, BoundBoxShowsTheCurrentRowAndTypingMakesItPending) {
    BoundLineEdit box(&rs, "RetName");
    EXPECT_EQ(box.text(), "North");
    rs.moveNext();
    EXPECT_EQ(box.text(), "O'Hara Books");
    box.setFocus();
    box.selectAll();
    QTest::keyClicks(&box, "Quill Books");
    EXPECT_TRUE(rs.hasPending());
    rs.moveNext();
    EXPECT_EQ(db.scalar("SELECT RetName FROM retail WHERE RetNo=2").toString(), "Quill Books");
}

TEST_F(Controls, ComboIsFilledOnceInRecordSetOrder) {
    DataCombo combo(&rs, "RetName");
    ASSERT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.itemText(1), "O'Hara Books");
    EXPECT_EQ(combo.text(), "North");
    db.exec("INSERT INTO retail (RetName) VALUES ('Later')");
    rs.requery();
    EXPECT_EQ(combo.count(), 3);
    combo.clearText();
    EXPECT_EQ(combo.text(), "");
}

TEST_F(Controls, DatePickerTellsOperatorChangesFromCodeChanges) {
    DatePicker picker;
    QSignalSpy changes(&picker, &DatePicker::changedByOperator);
    picker.setDay(QDate(2001, 5, 3));
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(picker.dayText(), "2001/5/3");
    picker.setDate(QDate(2001, 5, 4)); // as the calendar popup does
    EXPECT_EQ(changes.count(), 1);
}

TEST(DatePickerKeys, TabLeavesThePickerInsteadOfSteppingThroughItsParts) {
    QWidget form;
    auto *picker = new DatePicker({}, &form);
    auto *after = new QLineEdit(&form);
    form.show();
    picker->setFocus();
    QApplication::setActiveWindow(&form);
    QTest::keyClick(picker, Qt::Key_Tab);
    EXPECT_TRUE(after->hasFocus());
}

// A year typed with two digits in a date picker is read as the short date reads it.
TEST(DatePickerKeys, ATwoDigitYearIsReadAsTheShortDateReadsIt) {
    const std::pair<const char *, int> cases[] = {
        {"01", 2001}, {"29", 2029}, {"97", 1997}, {"1999", 1999}};
    for (const auto &[typed, year] : cases) {
        QWidget form;
        auto *picker = new DatePicker({}, &form);
        new QLineEdit(&form);
        picker->setDay(QDate(2010, 10, 10));
        form.show();
        picker->setFocus();
        QApplication::setActiveWindow(&form);
        picker->setSelectedSection(QDateTimeEdit::YearSection);
        QTest::keyClicks(picker, QString::fromLatin1(typed));
        QTest::keyClick(picker, Qt::Key_Tab); // leaving the picker settles what was typed
        EXPECT_EQ(picker->day(), QDate(year, 10, 10))
            << typed << " shows " << picker->text().toStdString();
    }
}
