// The ISBN warnings of frmCreTitles and of the Titles maintenance screen: a wrong check digit
// and a book already in the catalogue under another form; OK keeps the ISBN, Cancel goes back.
#include "allscreens.h"
#include "boundlineedit.h"
#include "datagrid.h"
#include "newtitlescreen.h"
#include "recordsource.h"
#include "screenregistry.h"
#include "testsupport.h"

#include <QAbstractItemDelegate>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

class IsbnWarningsTest : public ::testing::Test {
protected:
    void SetUp() override {
        shop.db.exec("INSERT INTO Titles (BOOKNO, ISBN, Title) VALUES "
                     "(1, '0-306-40615-2', 'Plenum'), (2, '111', 'Shop Code')");
    }
    // Types into the ISBN box and leaves it, answering the warnings in turn.
    QStringList typeIsbn(RecordEditor &screen, const char *typed, std::vector<bool> answers) {
        shop.messages.shown.clear();
        for (bool answer : answers)
            shop.messages.answerNext(answer);
        BoundLineEdit *box = screen.box(1);
        box->selectAll();
        QTest::keyClicks(box, QString::fromUtf8(typed));
        emit box->editingFinished();
        QCoreApplication::processEvents();
        return shop.messages.texts();
    }
    TestShop shop;
};

struct Case {
    const char *typed;
    std::vector<bool> answers;
    std::vector<const char *> asked; // a phrase of each warning shown, in order
    bool backToBox;                  // Cancel: the box is selected to be mended
};

void expectWarnings(const Case &c, const QStringList &shown, const BoundLineEdit *box) {
    ASSERT_EQ(shown.size(), static_cast<qsizetype>(c.asked.size())) << c.typed;
    for (std::size_t i = 0; i < c.asked.size(); ++i)
        EXPECT_TRUE(shown[static_cast<qsizetype>(i)].contains(QString::fromUtf8(c.asked[i])))
            << c.typed << ": " << shown[static_cast<qsizetype>(i)].toStdString();
    EXPECT_EQ(box->text(), c.typed) << "stays as typed";
    EXPECT_EQ(box->isModified(), c.backToBox) << c.typed;
    EXPECT_EQ(box->hasSelectedText(), c.backToBox) << c.typed;
}

} // namespace

TEST_F(IsbnWarningsTest, NewTitleWarnsAndTheOperatorDecides) {
    NewTitleScreen screen(shop.context);
    screen.addNew();
    const char *checkDigit = "The check digit of \"";
    const char *otherForm = "0-306-40615-2   Plenum   (BOOKNO 1)";
    const Case cases[] = {
        {"0-306-40615-3", {true}, {checkDigit}, false},
        {"0-306-40615-3", {false}, {checkDigit}, true},
        {"9780306406157", {true}, {otherForm}, false},
        {"978-0-306-40615-7", {false}, {otherForm}, true},
        {"9780306406158", {true}, {"ends in 7, not 8"}, false}, // only its own digits then
        {"030640615-2", {true, true}, {otherForm}, false},
        {"0-306-40615-2", {}, {}, false}, // the same spelling: not another form
        {"0-8044-2957-x", {}, {}, false},
        {"111", {}, {}, false},
        {"CD-0001", {}, {}, false},
    };
    for (const Case &c : cases)
        expectWarnings(c, typeIsbn(screen, c.typed, c.answers), screen.box(1));
    screen.update(); // kept as typed
    EXPECT_EQ(shop.db.scalar("SELECT ISBN FROM Titles ORDER BY BOOKNO DESC LIMIT 1").toString(),
              "CD-0001");
}

TEST_F(IsbnWarningsTest, TitlesEditorWarnsInItsBoxAndGridButNotAboutTheTitleItself) {
    ScreenRegistry registry;
    registerAllScreens(registry);
    std::unique_ptr<QWidget> widget(registry.create("dataTitles", shop.context));
    auto &screen = *static_cast<RecordEditor *>(widget.get());
    // Title 1 spelt anew is still title 1: nothing to point out.
    expectWarnings({"9780306406157", {}, {}, false}, typeIsbn(screen, "9780306406157", {}),
                   screen.box(1));
    screen.update();
    screen.source()->moveNext(); // title 2 takes title 1's number
    expectWarnings({"0306406152", {true}, {"9780306406157   Plenum   (BOOKNO 1)"}, false},
                   typeIsbn(screen, "0306406152", {true}), screen.box(1));
    screen.update();

    // In the grid: the ISBN cell of title 2 edited in place.
    QTableView *view = screen.grid()->view();
    const QModelIndex cell = screen.grid()->model()->index(1, 1);
    struct GridCase {
        const char *typed;
        int warnings;
    };
    const GridCase gridCases[] = {
        {"0306406153", 1}, {"0306406153", 0}, {"978-0-306-40615-7", 1}, {"111", 0}};
    for (const GridCase &c : gridCases) {
        shop.messages.shown.clear();
        view->setCurrentIndex(cell);
        view->edit(cell);
        auto *editor = qobject_cast<QLineEdit *>(view->indexWidget(cell));
        ASSERT_NE(editor, nullptr);
        editor->setText(QString::fromUtf8(c.typed));
        emit view->itemDelegate()->commitData(editor);
        emit view->itemDelegate()->closeEditor(editor);
        QCoreApplication::processEvents();
        EXPECT_EQ(shop.messages.shown.size(), static_cast<std::size_t>(c.warnings)) << c.typed;
        EXPECT_EQ(cell.data().toString(), c.typed);
    }
}
