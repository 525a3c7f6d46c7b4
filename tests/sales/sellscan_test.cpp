// The counter worked by a scanner and the keyboard alone: Enter looks a title up, Enter again
// books it, and "Do you have…?" (F3) finds a title by its words and hands it to the counter.
#include "sellfixture.h"
#include "titlesearchdialog.h"

#include <QApplication>
#include <QTableView>
#include <QTest>
#include <functional>

namespace {

class SellScan : public Sell {
protected:
    void SetUp() override {
        Sell::SetUp();
        screen->show();
        QApplication::setActiveWindow(screen.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(screen.get()));
    }
    // What a scanner does: the digits and Enter into the box with the focus.
    void scan(const QString &isbn) {
        QTest::keyClicks(QApplication::focusWidget(), isbn);
        enter();
    }
    void enter() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }
    // The operator clicks into a box and types over it.
    void type(const char *boxName, const QString &typed) {
        QLineEdit *edit = box(boxName);
        edit->setFocus();
        edit->selectAll();
        if (typed.isEmpty())
            QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, typed);
    }
};

// Each step from the keyboard, then the lookup on display, what the boxes hold and what is sold.
TEST_F(SellScan, EnterLooksUpThenBooks) {
    struct Step {
        const char *what;
        std::function<void()> act;
        const char *shownIsbn; // the lookup on display ("" for none)
        const char *shownCopies;
        const char *quantityBox;
        QStringList sold; // soldbook's ISBN|Qty, all of them so far
        int messages;     // shown so far
    };
    shop.db.exec("UPDATE Titles SET Qty = 1 WHERE ISBN = '333'");
    const Step steps[] = {
        {"a scan looks the title up", [&] { scan("111"); }, "111", "1", "1", {}, 0},
        {"Enter again books it", [&] { enter(); }, "", "", "1", {"111|1"}, 0},
        {"a scan after the sale looks up", [&] { scan("222"); }, "222", "1", "1", {"111|1"}, 0},
        {"a new ISBN replaces the lookup unsold",
         [&] { scan("111"); },
         "111",
         "1",
         "1",
         {"111|1"},
         0},
        {"copies typed since the lookup: Enter looks up with them",
         [&] {
             type("Text2", "3");
             box("Text1")->setFocus();
             enter();
         },
         "111",
         "3",
         "3",
         {"111|1"},
         0},
        {"then Enter books the 3 copies", [&] { enter(); }, "", "", "1", {"111|1", "111|3"}, 0},
        {"Enter after a quantity looks up, ready to book",
         [&] {
             type("Text1", "222");
             type("Text2", "2");
             enter();
         },
         "222",
         "2",
         "2",
         {"111|1", "111|3"},
         0},
        {"and Enter in the ISBN box books it",
         [&] { enter(); },
         "",
         "",
         "1",
         {"111|1", "111|3", "222|2"},
         0},
        {"an empty quantity box sells one copy",
         [&] {
             type("Text2", "");
             box("Text1")->setFocus();
             scan("111");
             enter();
         },
         "",
         "",
         "1",
         {"111|1", "111|3", "222|2", "111|1"},
         0},
        {"an unknown ISBN is not booked by a second Enter",
         [&] {
             scan("9999");
             enter();
         },
         "",
         "",
         "1",
         {"111|1", "111|3", "222|2", "111|1"},
         2},
        {"more than the stock: the question, answered Cancel, leaves it on display",
         [&] {
             type("Text1", "333");
             type("Text2", "3");
             enter();
             shop.messages.answerNext(false);
             box("Text1")->setFocus();
             enter();
         },
         "333",
         "3",
         "3",
         {"111|1", "111|3", "222|2", "111|1"},
         3},
        {"Enter asks again; OK sells them",
         [&] { enter(); },
         "",
         "",
         "1",
         {"111|1", "111|3", "222|2", "111|1", "333|3"},
         4},
    };
    for (const Step &step : steps) {
        step.act();
        EXPECT_EQ(text("Label3_0"), step.shownIsbn) << step.what;
        EXPECT_EQ(text("Label3_3"), step.shownCopies) << step.what;
        EXPECT_EQ(box("Text2")->text(), step.quantityBox) << step.what;
        EXPECT_TRUE(box("Text1")->hasFocus()) << step.what;
        EXPECT_EQ(shop.db.rows("SELECT ISBN, Qty FROM soldbook ORDER BY rowid"), step.sold)
            << step.what;
        EXPECT_EQ(static_cast<int>(shop.messages.shown.size()), step.messages) << step.what;
    }
}

// F3 opens the search; the list follows the words typed, Up and Down move through it, Enter
// looks the chosen title up as a scan would, and the next Enter sells it. Esc leaves the
// counter as it was.
TEST_F(SellScan, DoYouHaveFindsATitleForTheCounter) {
    shop.db.exec("INSERT INTO Titles (ISBN, Title, Author, [Sale Price], Qty) VALUES "
                 "('444', 'Rivers of the South', 'Ann Lake', 9, 5)");
    auto openSearch = [&] {
        QTest::keyClick(box("Text1"), Qt::Key_F3);
        auto *dialog = screen->findChild<TitleSearchDialog *>();
        EXPECT_NE(dialog, nullptr);
        if (dialog != nullptr) {
            QApplication::setActiveWindow(dialog); // the offscreen platform activates no window
            EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        }
        return dialog;
    };
    // Back at the counter's window, as the desktop makes it active when the dialog closes.
    auto closed = [&] {
        QTRY_VERIFY(screen->findChild<TitleSearchDialog *>() == nullptr);
        QApplication::setActiveWindow(screen.get());
    };
    TitleSearchDialog *dialog = openSearch();
    ASSERT_NE(dialog, nullptr);
    auto *words = dialog->findChild<QLineEdit *>("txtWords");
    ASSERT_TRUE(words->hasFocus());
    QTest::keyClicks(words, "RIVERS of");
    auto *list = dialog->findChild<QTableView *>();
    // The list follows once the typing pauses.
    QTRY_COMPARE(list->model()->rowCount(), 2);
    EXPECT_EQ(list->model()->index(0, 1).data().toString(), "Rivers of the North");
    EXPECT_EQ(dialog->findChild<QLabel *>("lblFound")->text(), "2 titles found.");
    QTest::keyClick(words, Qt::Key_Down);
    EXPECT_EQ(list->currentIndex().row(), 1);
    QTest::keyClick(words, Qt::Key_Return);
    closed();
    EXPECT_EQ(box("Text1")->text(), "444");
    EXPECT_EQ(text("Label3_1"), "Rivers of the South");
    EXPECT_TRUE(box("Text1")->hasFocus());
    enter();
    EXPECT_EQ(shop.db.rows("SELECT ISBN, Qty FROM soldbook"), QStringList{"444|1"});

    // Typed and chosen at once, before the list had followed: the title typed is the one
    // chosen. Then Esc: the counter as it was.
    dialog = openSearch();
    QTest::keyClicks(dialog->findChild<QLineEdit *>("txtWords"), "north");
    QTest::keyClick(dialog->findChild<QLineEdit *>("txtWords"), Qt::Key_Return);
    closed();
    EXPECT_EQ(text("Label3_0"), "222");
    dialog = openSearch();
    QTest::keyClicks(dialog->findChild<QLineEdit *>("txtWords"), "south");
    QTest::keyClick(dialog->findChild<QLineEdit *>("txtWords"), Qt::Key_Escape);
    closed();
    EXPECT_EQ(text("Label3_0"), "222");
    EXPECT_EQ(box("Text1")->text(), "222");
    EXPECT_TRUE(shop.messages.shown.empty());
}

} // namespace
