// frmCreTitles: the lists and the date picker feed their boxes; the load leaves the row alone.
#include "boundlineedit.h"
#include "datacombo.h"
#include "datagrid.h"
#include "datepicker.h"
#include "navigator.h"
#include "newtitlescreen.h"
#include "recordsource.h"
#include "testsupport.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

class NewTitle : public ::testing::Test {
protected:
    void SetUp() override {
        shop.db.exec("INSERT INTO Subject VALUES ('1','Fiction'),('2','Poetry'),('3','Maps')");
        shop.db.exec("INSERT INTO publishers (PubID,Name) VALUES ('1','Dover'),('2','Penguin')");
        shop.db.exec("INSERT INTO retail (RetName) VALUES ('North'),('O''Hara Books')");
        shop.db.exec("INSERT INTO Titles (ISBN,Title,Publisher,[Year Published],Qty) VALUES "
                     "('111','One','Old Press','1999/1/1',5),('222','Two','Dover','2000/2/2',6)");
        shop.clock.set(QDate(2001, 6, 1), QTime(9, 0));
        screen = std::make_unique<NewTitleScreen>(shop.context);
    }
    void type(int index, const char *text) {
        BoundLineEdit *box = screen->box(index);
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, QString::fromUtf8(text));
    }
    void click(const char *button) {
        screen->findChild<QPushButton *>(QString::fromLatin1(button))->click();
    }
    TestShop shop;
    std::unique_ptr<NewTitleScreen> screen;
};

} // namespace

TEST_F(NewTitle, LoadsWithListsAndTodayWithoutTouchingTheCurrentTitle) {
    EXPECT_EQ(screen->objectName(), "frmCreTitles");
    EXPECT_EQ(screen->windowTitle(), "Data Creation-- Titles");
    EXPECT_EQ(screen->findChild<QLabel *>("Label2")->text(), "Data Creation -- Titles");
    EXPECT_EQ(screen->findChild<QLabel *>("Label1")->text(), "(Auto)");
    EXPECT_EQ(screen->grid(), nullptr);
    EXPECT_EQ(screen->navigator()->caption(), "Record: 1");
    for (int index : {0, 4, 5, 6})
        EXPECT_FALSE(screen->box(index)->isEnabled()) << index;
    for (int index : {1, 2, 3, 7, 8, 9, 10, 11, 12})
        EXPECT_TRUE(screen->box(index)->isEnabled()) << index;

    EXPECT_EQ(screen->datePicker()->day(), QDate(2001, 6, 1));
    EXPECT_EQ(screen->box(6)->text(), "1999/1/1");
    EXPECT_FALSE(screen->source()->hasPending());
    ASSERT_EQ(screen->subjectList()->count(), 3);
    EXPECT_EQ(screen->subjectList()->itemText(2), "Maps");
    EXPECT_EQ(screen->publisherList()->itemText(1), "Penguin");
    EXPECT_EQ(screen->supplierList()->itemText(1), "O'Hara Books");
    EXPECT_EQ(screen->subjectList()->text(), "");

    click("cmdClose");
    EXPECT_EQ(shop.db.rows("SELECT [Year Published],Subject FROM Titles WHERE ISBN='111'"),
              QStringList{"1999/1/1|<null>"});
}

TEST_F(NewTitle, PickingASubjectWritesItIntoTheBoxAndAnotherPickReplacesIt) {
    QWidget *list = screen->subjectList();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(screen->box(4)->text(), "Poetry");
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(screen->box(4)->text(), "Maps");
    EXPECT_TRUE(screen->source()->hasPending());
    click("cmdUpdate");
    EXPECT_EQ(shop.db.scalar("SELECT Subject FROM Titles WHERE ISBN='111'").toString(), "Maps");
}

TEST_F(NewTitle, PickingAPublisherChangesTheExistingTitleWhenItIsLeft) {
    emit screen->publisherList()->textChangedByOperator("Penguin");
    EXPECT_EQ(screen->box(5)->text(), "Penguin");
    EXPECT_EQ(shop.db.scalar("SELECT Publisher FROM Titles WHERE ISBN='111'").toString(),
              "Old Press");
    screen->navigator()->next();
    EXPECT_EQ(shop.db.scalar("SELECT Publisher FROM Titles WHERE ISBN='111'").toString(),
              "Penguin");
    EXPECT_EQ(screen->box(5)->text(), "Dover");
}

TEST_F(NewTitle, EntersANewTitleFromBoxesListsAndPicker) {
    click("cmdAdd");
    EXPECT_EQ(screen->box(2)->text(), "");
    type(1, "978-0");
    type(2, "Quill and Ink");
    type(3, "A. Writer");
    emit screen->subjectList()->textChangedByOperator("Poetry");
    emit screen->publisherList()->textChangedByOperator("Dover");
    screen->supplierList()->setFocus();
    QTest::keyClicks(screen->supplierList(), "Corner Shop"); // typed in the list, not picked
    screen->datePicker()->setDate(QDate(2001, 5, 3));        // as the calendar does
    EXPECT_EQ(screen->box(6)->text(), "2001/5/3");
    type(7, "12.5");
    type(8, "10");
    type(9, "6");
    type(10, "4");
    type(11, "2");
    click("cmdUpdate");
    EXPECT_TRUE(shop.messages.shown.empty());
    EXPECT_EQ(shop.db.rows("SELECT * FROM Titles WHERE BOOKNO=3"),
              QStringList{"3|978-0|Quill and Ink|A. Writer|Poetry|Dover|2001/5/3|12.5|10|6|4|2|"
                          "Corner Shop"});
    EXPECT_EQ(screen->box(0)->text(), "3");
}

TEST_F(NewTitle, ASupplierTypedIntoItsBoxIsSavedAsTyped) {
    type(12, "O'Hara Books Ltd");
    click("cmdUpdate");
    EXPECT_EQ(shop.db.scalar("SELECT Retail FROM Titles WHERE ISBN='111'").toString(),
              "O'Hara Books Ltd");
}
