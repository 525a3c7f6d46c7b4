// The bound record editor's buttons, navigator caption and messages, met on the maintenance
// screens.
#include "boundlineedit.h"
#include "datagrid.h"
#include "maintenancetable.h"
#include "navigator.h"
#include "recordeditor.h"
#include "recordsource.h"
#include "testsupport.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

const EditorDefinition &definitionOf(const QString &screenId) {
    for (const EditorDefinition &definition : maintenanceScreenTable())
        if (definition.screenId == screenId)
            return definition;
    throw std::runtime_error("no such screen");
}

class Editor : public ::testing::Test {
protected:
    std::unique_ptr<RecordEditor> open(const char *screenId) {
        return std::make_unique<RecordEditor>(definitionOf(QString::fromLatin1(screenId)),
                                              shop.context);
    }
    static void click(RecordEditor &editor, const char *button) {
        editor.findChild<QPushButton *>(QString::fromLatin1(button))->click();
    }
    static void type(RecordEditor &editor, int index, const char *text) {
        BoundLineEdit *box = editor.box(index);
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, QString::fromUtf8(text));
    }
    void seedBills() {
        shop.db.exec("INSERT INTO Bill VALUES ('A1','2001-05-01',10,'09:00:00','North'),"
                     "('A2','2001-05-02',20,'09:00:00','North'),"
                     "('A3','2001-05-03',30,'09:00:00','North'),"
                     "('A4','2001-05-04',40,'09:00:00','North'),"
                     "('A5','2001-05-05',50,'09:00:00','North')");
    }
    TestShop shop;
};

} // namespace

TEST_F(Editor, OpensOnTheFirstRowInBoxesGridAndNavigator) {
    shop.db.exec("INSERT INTO retail (RetName) VALUES ('North'),('South')");
    auto editor = open("dataRetail");
    EXPECT_EQ(editor->navigator()->caption(), "Record: 1");
    EXPECT_EQ(editor->box(2)->text(), "North");
    EXPECT_EQ(editor->box(1)->text(), "1");
    EXPECT_FALSE(editor->box(1)->isEnabled());
    EXPECT_EQ(editor->findChild<QLabel *>("Label1")->text(), "( Auto )");
    EXPECT_EQ(editor->grid()->currentLine(), 0);

    auto empty = open("dataBill");
    EXPECT_EQ(empty->navigator()->caption(), "Record: -1");
    EXPECT_EQ(empty->box(2)->text(), "");
}

TEST_F(Editor, DeleteMakesTheFollowingOrTheNewLastRowCurrent) {
    struct Case {
        int deleteRow;
        int positionAfter;
        QString currentAfter;
    };
    for (const Case &c : {Case{3, 3, "A4"}, Case{5, 4, "A4"}}) {
        shop.db.exec("DELETE FROM Bill");
        seedBills();
        auto editor = open("dataBill");
        for (int row = 1; row < c.deleteRow; ++row)
            editor->navigator()->next();
        click(*editor, "cmdDelete");
        EXPECT_EQ(shop.db.count("Bill"), 4) << c.deleteRow;
        EXPECT_EQ(editor->source()->recordCount(), 4);
        EXPECT_EQ(editor->navigator()->caption(), "Record: " + QString::number(c.positionAfter));
        EXPECT_EQ(editor->box(2)->text(), c.currentAfter);
        EXPECT_EQ(shop.db.count("paidbill"), 0); // deleting a bill does not pay it
    }
    EXPECT_TRUE(shop.messages.shown.empty());
}

TEST_F(Editor, DeleteOnAnEmptySetOrOfTheOnlyRowShowsTheDescription) {
    auto empty = open("dataSubject");
    click(*empty, "cmdDelete");
    ASSERT_EQ(shop.messages.shown.size(), 1u);
    EXPECT_FALSE(shop.messages.shown[0].text.startsWith("Data error"));
    EXPECT_FALSE(shop.messages.shown[0].text.isEmpty());

    shop.db.exec("INSERT INTO Subject VALUES ('1','Poetry')");
    auto single = open("dataSubject");
    click(*single, "cmdDelete");
    EXPECT_EQ(shop.db.count("Subject"), 0);
    EXPECT_EQ(shop.messages.shown.size(), 2u); // the move to the last row finds none
    EXPECT_EQ(single->navigator()->caption(), "Record: -1");
}

TEST_F(Editor, AddNewIsSavedByAMoveOrByUpdate) {
    shop.db.exec("INSERT INTO retail (RetName) VALUES ('North'),('South')");
    auto editor = open("dataRetail");
    click(*editor, "cmdAdd");
    EXPECT_EQ(editor->box(2)->text(), "");
    type(*editor, 2, "Quill Books");
    editor->navigator()->next(); // the new row is the last: the move still saves it
    EXPECT_EQ(shop.db.rows("SELECT RetNo,RetName FROM retail WHERE RetNo=3"),
              QStringList{"3|Quill Books"});
    EXPECT_EQ(editor->box(1)->text(), "3");

    click(*editor, "cmdAdd");
    type(*editor, 2, "O'Hara Books");
    click(*editor, "cmdUpdate");
    EXPECT_EQ(shop.db.scalar("SELECT RetNo FROM retail WHERE RetName='O''Hara Books'").toInt(), 4);
    EXPECT_EQ(editor->box(1)->text(), "4");
    EXPECT_FALSE(editor->source()->hasPending());
    EXPECT_TRUE(shop.messages.shown.empty());
}

TEST_F(Editor, UpdateWithoutChangesDoesNothing) {
    seedBills();
    auto editor = open("dataBill");
    const QStringList before = shop.db.rows("SELECT * FROM Bill");
    click(*editor, "cmdUpdate");
    EXPECT_EQ(shop.db.rows("SELECT * FROM Bill"), before);
    EXPECT_TRUE(shop.messages.shown.empty());
}

TEST_F(Editor, BadTextIsADataErrorOnAMoveAndACaughtErrorOnUpdate) {
    seedBills();
    auto editor = open("dataBill");
    type(*editor, 3, "ten");
    editor->navigator()->next();
    ASSERT_EQ(shop.messages.shown.size(), 1u);
    const QString shown = shop.messages.shown[0].text;
    EXPECT_TRUE(shown.startsWith("Data error event hit err:The value")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("Fee"));
    EXPECT_TRUE(shop.messages.shown[0].title.isEmpty()); // the program's title
    EXPECT_EQ(editor->navigator()->caption(), "Record: 1");
    EXPECT_EQ(editor->box(3)->text(), "ten"); // what was typed stays in its box

    click(*editor, "cmdUpdate");
    ASSERT_EQ(shop.messages.shown.size(), 2u);
    EXPECT_EQ(shop.messages.shown[1].text, shown.mid(QString("Data error event hit err:").size()));
    EXPECT_EQ(shop.db.scalar("SELECT Fee FROM Bill WHERE [Invoice No]='A1'").toDouble(), 10);
}

TEST_F(Editor, SavingWritesOnlyWhatTheOperatorChanged) {
    shop.db.exec("INSERT INTO Titles (ISBN,Title,Qty) VALUES ('111','One',5)");
    auto editor = open("dataTitles");
    shop.db.exec("UPDATE Titles SET Qty=Qty-2"); // a sale made on another screen meanwhile
    type(*editor, 2, "One, revised");
    click(*editor, "cmdUpdate");
    EXPECT_EQ(shop.db.rows("SELECT Title,Qty FROM Titles"), QStringList{"One, revised|3"});
    EXPECT_EQ(editor->box(10)->text(), "3");
}

TEST_F(Editor, RefreshShowsRowsSavedElsewhere) {
    auto editor = open("dataSubject");
    shop.db.exec("INSERT INTO Subject VALUES ('1','Poetry')");
    click(*editor, "cmdRefresh");
    EXPECT_EQ(editor->box(1)->text(), "Poetry");
    EXPECT_EQ(editor->navigator()->caption(), "Record: 1");
}

TEST_F(Editor, ClosingSavesThePendingRowOrAsksWhenItCannot) {
    seedBills();
    auto editor = open("dataBill");
    type(*editor, 9, "South");
    EXPECT_TRUE(editor->close());
    EXPECT_EQ(shop.db.scalar("SELECT Retail FROM Bill WHERE [Invoice No]='A1'").toString(),
              "South");

    auto blank = open("dataBill");
    click(*blank, "cmdAdd");
    EXPECT_TRUE(blank->close()); // nothing typed: nothing to keep
    EXPECT_EQ(shop.db.count("Bill"), 5);

    auto failing = open("dataBill");
    type(*failing, 3, "ten");
    shop.messages.answerNext(false);
    EXPECT_FALSE(failing->close()); // the operator keeps the window to mend the fee
    ASSERT_EQ(shop.messages.shown.size(), 2u);
    EXPECT_TRUE(shop.messages.shown[1].confirmation);
    EXPECT_EQ(failing->box(3)->text(), "ten");
    shop.messages.answerNext(true);
    EXPECT_TRUE(failing->close()); // now given up on purpose
    EXPECT_EQ(shop.db.scalar("SELECT Fee FROM Bill WHERE [Invoice No]='A1'").toDouble(), 10);
    EXPECT_TRUE(shop.messages.shown.back().confirmation);
}
