// The counter at a customer's pace: the total is the exact sum of the lines, the boxes are
// ready for a scanner's next ISBN after every step, and a sale of more copies than are in stock
// asks first.
#include "sellfixture.h"

#include <QApplication>
#include <QTest>
#include <functional>
#include <optional>

// The total is the exact sum of the list's subtotals: the customer pays what the lines add up
// to, and the day report adds the same figures.
TEST_F(Sell, TotalIsTheExactSumOfTheSubtotals) {
    shop.db.exec("INSERT INTO Titles (ISBN, Title, [Sale Price], Qty) VALUES "
                 "('h', 'Half', 0.5, 50), ('a', 'Atlas', 19.95, 50), ('b', 'Birds', 17.5, 50), "
                 "('t', 'Tenth', 0.1, 50)");
    struct Step {
        const char *isbn;
        const char *quantity;
        const char *subtotal;
        const char *total;
    };
    const Step steps[] = {{"a", "1", "19.95", "19.95"},  {"b", "1", "17.5", "37.45"},
                          {"111", "3", "37.5", "74.95"}, {"h", "1", "0.5", "75.45"},
                          {"t", "3", "0.3", "75.75"},    {"t", "1", "0.1", "75.85"}};
    for (const Step &s : steps) {
        lookUp(s.isbn, s.quantity);
        EXPECT_EQ(text("Label3_4"), s.subtotal) << s.isbn;
        screen->recordSale();
        EXPECT_EQ(text("Label6"), s.total) << s.isbn;
    }
    EXPECT_EQ(receipt()->lineCount(), 6);
    EXPECT_EQ(screen->saleTotal(), Money::fromUnits(758500));
}

// At the counter the ISBN comes from a scanner, which types the digits and Enter into the box
// with the focus. After each step the box is ready for the next scan, and copies typed for one
// title are never sold as copies of another.
TEST_F(Sell, TheBoxesAreReadyForTheNextScan) {
    screen->show();
    QApplication::setActiveWindow(screen.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(screen.get()));
    auto type = [this](const char *boxName, const QString &typed) {
        QLineEdit *edit = box(boxName);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, typed);
    };
    auto scan = [this](const QString &isbn) { // into the box with the focus, as a scanner does
        QTest::keyClicks(QApplication::focusWidget(), isbn);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    };
    struct Step {
        const char *what;
        std::function<void()> act;
        const char *shownIsbn;   // the lookup on display ("" for none)
        const char *shownCopies; // its quantity
        const char *isbnBox;
        bool isbnSelected; // the whole box selected, so that the next scan replaces it
        const char *quantityBox;
    };
    auto *next = screen->findChild<QPushButton *>("Command3");
    const Step steps[] = {
        {"3 copies typed, then an unknown ISBN scanned",
         [&] { type("Text2", "3"), type("Text1", ""), scan("9999"); }, "", "", "9999", true, "1"},
        {"the next scan replaces the unknown one", [&] { scan("111"); }, "111", "1", "111", true,
         "1"},
        {"3 copies typed for the title on display",
         [&] { type("Text2", "3"), type("Text1", ""), scan("111"); }, "111", "3", "111", true, "3"},
        {"the same title scanned again sells them", [&] { scan("111"); }, "", "", "", false, "1"},
        {"another title replaces it unsold: 1 copy", [&] { scan("222"); }, "222", "1", "222", true,
         "1"},
        {"2 copies typed, then sold with OK",
         [&] {
             type("Text2", "2"), type("Text1", ""), scan("111");
             screen->findChild<QPushButton *>("Command2")->click();
         },
         "", "", "", false, "1"},
        {"Next Customer from the keyboard",
         [&] {
             type("Text1", "222");
             next->setFocus();
             QTest::keyClick(next, Qt::Key_Space);
         },
         "", "", "222", true, "1"},
    };
    for (const Step &step : steps) {
        step.act();
        EXPECT_EQ(text("Label3_0"), step.shownIsbn) << step.what;
        EXPECT_EQ(text("Label3_3"), step.shownCopies) << step.what;
        EXPECT_EQ(box("Text1")->text(), step.isbnBox) << step.what;
        EXPECT_TRUE(box("Text1")->hasFocus()) << step.what;
        EXPECT_EQ(box("Text1")->selectedText(), step.isbnSelected ? step.isbnBox : "") << step.what;
        EXPECT_EQ(box("Text2")->text(), step.quantityBox) << step.what;
    }
    EXPECT_EQ(shop.db.rows("SELECT ISBN, Qty FROM soldbook ORDER BY rowid"),
              (QStringList{"111|3", "111|2"}));
    EXPECT_EQ(shop.messages.texts(),
              QStringList{"Cannot Find The BOOK Title ,Please check if the ISBN is correct."});
}

// Selling more copies than the catalogue holds asks first (the count may be wrong, so the
// operator may go on) and says how many there are.
TEST_F(Sell, SellingMoreThanTheStockAsksFirst) {
    struct Case {
        int stock;
        const char *copies;
        std::optional<bool> answer; // nullopt: no question
        const char *question;       // the start of it
        int stockAfter;
    };
    const Case cases[] = {
        {10, "10", std::nullopt, "", 0},
        {1, "3", false,
         "The catalogue has only 1 copy of \"Short\" in stock. Selling 3 copies takes the count "
         "to -2.",
         1},
        {1, "3", true, "The catalogue has only 1 copy", -2},
        {4, "5", true, "The catalogue has only 4 copies of \"Short\" in stock. Selling 5", -1},
        {0, "1", true,
         "The catalogue has no copy of \"Short\" in stock (its count is 0). Selling 1 copy "
         "takes the count to -1.",
         -1},
        {-2, "1", false, "The catalogue has no copy of \"Short\" in stock (its count is -2).", -2},
    };
    for (const Case &c : cases) {
        const QString what = QString("%1 in stock, %2 sold").arg(c.stock).arg(c.copies);
        shop.db.exec(QString("UPDATE Titles SET Qty = %1 WHERE ISBN = '111'").arg(c.stock));
        shop.messages.shown.clear();
        const int salesBefore = shop.db.count("soldbook");
        if (c.answer)
            shop.messages.answerNext(*c.answer);
        sell("111", c.copies);
        ASSERT_EQ(shop.messages.shown.size(), c.answer ? 1u : 0u) << what.toStdString();
        if (c.answer) {
            EXPECT_TRUE(shop.messages.shown[0].confirmation);
            EXPECT_TRUE(shop.messages.shown[0].text.startsWith(c.question))
                << shop.messages.shown[0].text.toStdString();
        }
        const bool sold = c.answer.value_or(true);
        EXPECT_EQ(stock("111"), c.stockAfter) << what.toStdString();
        EXPECT_EQ(shop.db.count("soldbook"), salesBefore + (sold ? 1 : 0)) << what.toStdString();
        EXPECT_EQ(screen->hasLookup(), !sold) << what.toStdString(); // kept when not sold
    }
}
