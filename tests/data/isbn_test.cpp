// ISBN forms: reading, check digits, the ISBN-10/ISBN-13 pair, and finding a book in the
// catalogue under another spelling of its ISBN.
#include "isbn.h"
#include "isbnfinder.h"
#include "testsupport.h"

#include <gtest/gtest.h>

TEST(Isbn, ReadsEveryFormABookCarries) {
    struct Case {
        const char *typed;
        const char *digits; // nullptr: not read as an ISBN
        bool valid;
        const char *other; // the other form, "" for none
    };
    const Case cases[] = {
        {"0-306-40615-2", "0306406152", true, "9780306406157"},
        {"0306406152", "0306406152", true, "9780306406157"},
        {" 0 306 40615 2 ", "0306406152", true, "9780306406157"},
        {"978-0-306-40615-7", "9780306406157", true, "0306406152"},
        {"ISBN 978-0-306-40615-7", "9780306406157", true, "0306406152"},
        {"ISBN-10: 0-306-40615-2", "0306406152", true, "9780306406157"},
        {"978030640615751995", "9780306406157", true, "0306406152"}, // 5-digit add-on
        {"978-0-306-40615-7 51995", "9780306406157", true, "0306406152"},
        {"97803064061575", "", false, ""},                        // 14 digits: no form
        {"978030640615712", "9780306406157", true, "0306406152"}, // 2-digit add-on
        {"0-8044-2957-x", "080442957X", true, "9780804429573"},   // lower-case x
        {"080442957X", "080442957X", true, "9780804429573"},
        {"0-306-40615-3", "0306406153", false, "9780306406157"}, // wrong check digit
        {"9780306406158", "9780306406158", false, "0306406152"},
        {"979-10-90636-07-1", "9791090636071", true, ""}, // 979: no ISBN-10
        {"4006381333931", "4006381333931", true, ""},     // a CD's EAN-13
        {"111", "", false, ""},
        {"CD-0001", "", false, ""},
        {"03064X6152", "", false, ""}, // X only as the last of ten
        {"978030640615X", "", false, ""},
        {"", "", false, ""},
        {"0'306406152", "", false, ""},
    };
    for (const Case &c : cases) {
        const auto reading = isbn::read(QString::fromUtf8(c.typed));
        ASSERT_EQ(reading.has_value(), *c.digits != '\0') << c.typed;
        if (!reading)
            continue;
        EXPECT_EQ(reading->digits, c.digits) << c.typed;
        EXPECT_EQ(reading->checkDigitValid(), c.valid) << c.typed;
        EXPECT_EQ(isbn::otherForm(*reading), c.other) << c.typed;
        EXPECT_EQ(isbn::checkDigitProblem(c.typed, *reading).isEmpty(), c.valid) << c.typed;
        // A wrong check digit says nothing about which book it is: only the same digits count.
        EXPECT_EQ(isbn::sameBookDigits(*reading).size(), c.valid && *c.other != '\0' ? 2 : 1)
            << c.typed;
    }
}

TEST(Isbn, FindsTheSameBookUnderOtherSpellingsOnly) {
    TestDatabase db;
    db.exec("INSERT INTO Titles (BOOKNO, ISBN, Title) VALUES "
            "(1, '0-306-40615-2', 'Spelt ten'), (2, '978 0 306 40615 7', 'Spelt thirteen'), "
            "(3, '080442957X', 'Capital X'), (4, '9791090636071', 'Nine seven nine'), "
            "(5, '0-306-40615-3', 'Wrong check'), (6, '978-0306406157', 'Second copy'), "
            "(7, '97803064061', 'Too short'), (8, NULL, 'No ISBN'), (9, '', 'Empty'), "
            "(10, '9780804429573', 'Thirteen of X'), (11, '-0306406152-', 'Odd dashes')");
    struct Case {
        const char *typed;
        const char *books; // BOOKNOs found, in order
    };
    const Case cases[] = {
        {"0306406152", "1,2,6,11"},
        {"0-306-40615-2", "2,6,11"}, // not the title spelt exactly so
        {"9780306406157", "1,2,6,11"},
        {"978030640615751995", "1,2,6,11"},
        {"0-8044-2957-x", "3,10"},
        {"080442957x", "3,10"},
        {"979-10-90636-07-1", "4"},
        {"0306406153", "5"}, // a wrong check digit finds only its own digits
        {"9780306406158", ""},
        {"978-0-306-40615", ""},
        {"", ""},
        {"111", ""},
    };
    for (const Case &c : cases) {
        QStringList books;
        for (const CatalogueMatch &match :
             isbnfinder::otherForms(db.connection(), QString::fromUtf8(c.typed)))
            books << QString::number(match.bookNo);
        EXPECT_EQ(books.join(u','), c.books) << c.typed;
    }
}
