// frmNewQty finds the received title under another form of its ISBN when the typed text is
// not in the catalogue as it stands.
#include "newqtyscreen.h"
#include "testsupport.h"

#include <QLineEdit>
#include <gtest/gtest.h>

TEST(NewQtyIsbn, AddsToTheOneTitleWithTheNumberInAnotherForm) {
    TestShop shop;
    shop.db.exec("INSERT INTO Titles (BOOKNO, ISBN, Title, Qty) VALUES "
                 "(1, '978-0-306-40615-7', 'Plenum', 5), (2, '080442957X', 'Ten', 6), "
                 "(3, '9780804429573', 'Thirteen', 7)");
    NewQtyScreen screen(shop.context);
    struct Case {
        const char *typed;
        const char *stock;   // Qty of the three titles after OK
        const char *message; // start of the message, "" for none
        const char *boxLeft; // the ISBN box after OK
    };
    const Case cases[] = {
        {"0-306-40615-2", "6 6 7", "", ""},
        {"9780306406157", "7 6 7", "", ""},
        {"080442957X", "7 7 7", "", ""}, // exactly as stored: that title, no question
        {"0-8044-2957-x", "7 7 7", "The ISBN \"0-8044-2957-x\" is not in the catalogue as typed",
         "0-8044-2957-x"},
        {"0-306-40615-3", "7 7 7", "Cannot find this book title! ", "0-306-40615-3"},
    };
    for (const Case &c : cases) {
        shop.messages.shown.clear();
        screen.isbnBox()->setText(QString::fromUtf8(c.typed));
        screen.quantityBox()->setText("1");
        screen.addQuantity();
        EXPECT_EQ(shop.db.rows("SELECT Qty FROM Titles ORDER BY BOOKNO").join(' '), c.stock)
            << c.typed;
        const QString shown = shop.messages.texts().join('\n');
        EXPECT_TRUE(shown.isEmpty() || shown.startsWith(QString::fromUtf8(c.message)))
            << c.typed << ": " << shown.toStdString();
        EXPECT_EQ(shown.isEmpty(), *c.message == '\0') << c.typed;
        EXPECT_EQ(screen.isbnBox()->text(), c.boxLeft) << c.typed;
    }
}
