// The counter finds a book under any form of its ISBN when the typed text is not in the
// catalogue as it stands; the sale row keeps the catalogue's ISBN.
#include "sellscreen.h"
#include "testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

TEST(SellIsbn, FindsTheOneTitleWithTheNumberInAnotherForm) {
    TestShop shop;
    shop.db.exec("INSERT INTO Titles (BOOKNO, ISBN, Title, [Sale Price], Qty) VALUES "
                 "(1, '0-306-40615-2', 'Plenum Book', 10, 5), "
                 "(2, '9781861972712', 'Thirteen Only', 20, 5), "
                 "(3, '080442957X', 'Capital X', 30, 5), "
                 "(4, '9780804429573', 'Capital X Again', 31, 5), "
                 "(5, '979-10-90636-07-1', 'Nine Seven Nine', 40, 5), "
                 "(6, '111', 'Shop Code', 5, 5)");
    // The offer is kept under the catalogue's ISBN.
    shop.db.exec("INSERT INTO onsale VALUES ('0-306-40615-2', 7, '2001-05-01', '2001-05-31')");
    SellScreen screen(shop.context);
    const char *const notFound = "Cannot Find The BOOK Title ,Please check if the ISBN is correct.";
    struct Case {
        const char *typed;
        const char *shown;   // Label3(0) after List; "" when nothing was found
        const char *message; // start of the message shown, "" for none
    };
    const Case cases[] = {
        {"0-306-40615-2", "0-306-40615-2", ""},
        {"0306406152", "0-306-40615-2", ""},
        {"9780306406157", "0-306-40615-2", ""},
        {"978-0-306-40615-7", "0-306-40615-2", ""},
        {"978030640615751995", "0-306-40615-2", ""}, // scanned with the price add-on
        {"1-86197-271-7", "9781861972712", ""},
        {"9791090636071", "979-10-90636-07-1", ""},
        {"080442957X", "080442957X", ""}, // exact first: the other form is not asked
        {"080442957x", "", "The ISBN \"080442957x\" is not in the catalogue as typed, and 2"},
        {"0-8044-2957-X", "", "The ISBN \"0-8044-2957-X\" is not in the catalogue as typed"},
        {"1090636071", "", notFound},    // 979 has no ISBN-10
        {"0-306-40615-3", "", notFound}, // wrong check digit
        {"111", "111", ""},
        {" 111", "", notFound},
    };
    for (const Case &c : cases) {
        shop.messages.shown.clear();
        screen.findChild<QLineEdit *>("Text1")->setText(QString::fromUtf8(c.typed));
        screen.lookup();
        EXPECT_EQ(screen.findChild<QLabel *>("Label3_0")->text(), c.shown) << c.typed;
        EXPECT_EQ(screen.hasLookup(), *c.shown != '\0') << c.typed;
        const QString shown = shop.messages.texts().join('\n');
        EXPECT_TRUE(shown.isEmpty() || shown.startsWith(QString::fromUtf8(c.message)))
            << c.typed << ": " << shown.toStdString();
        EXPECT_EQ(shown.isEmpty(), *c.message == '\0') << c.typed;
    }
    // An ambiguous number lists every title that has it.
    screen.findChild<QLineEdit *>("Text1")->setText("9780804429573 ");
    screen.lookup();
    EXPECT_TRUE(shop.messages.texts().last().contains("080442957X   Capital X   (BOOKNO 3)"));
    EXPECT_TRUE(shop.messages.texts().last().contains("9780804429573   Capital X Again"));

    // Sold by its scanned barcode: the row keeps the catalogue's ISBN, at the offer price.
    screen.findChild<QLineEdit *>("Text1")->setText("978030640615751995");
    screen.findChild<QLineEdit *>("Text2")->setText("2");
    screen.lookup();
    EXPECT_EQ(screen.findChild<QLabel *>("Label2")->text(), "7");
    screen.recordSale();
    EXPECT_EQ(shop.db.rows("SELECT ISBN, Title, Price, Qty FROM soldbook"),
              QStringList{"0-306-40615-2|Plenum Book|7|2"});
    EXPECT_EQ(shop.db.scalar("SELECT Qty FROM Titles WHERE BOOKNO = 1").toInt(), 3);
}
