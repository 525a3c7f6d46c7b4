// "Do you have…?" on the shop's data: which titles each typed text finds, in which order.
#include "catalogsearch.h"
#include "recordsource.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace {

// Every word in the title, the author or the ISBN, in any order, as a shop reads them: capitals,
// accents and curly apostrophes aside; an ISBN in any of its forms; wildcard and pattern
// characters only ever themselves; a quote mark never breaks the search.
TEST(CatalogSearch, FindsTheTitlesThatHoldEveryWord) {
    TestDatabase db;
    db.exec(QString::fromUtf8(
        "INSERT INTO Titles (ISBN, Title, Author, [Sale Price], Qty) VALUES "
        "('978-0-306-40615-7', 'Émile ou De l''éducation', 'Jean-Jacques Rousseau', 12.5, 3),"
        "('9780141439518', 'Pride and Prejudice', 'Jane Austen', 8, 10),"
        "('1111', 'O''Hara''s Kitchen', 'Siobhán O’Brien', 20, 1),"
        "('2222', 'The Lost River', 'Ana Núñez', 9.5, 0),"
        "('3333', '海邊的老街', '陳怡君', 15, 2),"
        "('4444', 'Rivers of the North', 'Łukasz Nowak', 11, -1),"
        "('5555', '100% Cotton', 'A_B', 4, 7)"));
    struct Case {
        const char *typed;
        QStringList found; // ISBNs, in the list's order
    };
    const QString emile = "978-0-306-40615-7";
    const Case cases[] = {
        {"pride", {"9780141439518"}},
        {"AUSTEN  pride", {"9780141439518"}},
        {"prejudice jane pride", {"9780141439518"}},
        {"emile", {emile}},
        {"ÉDUCATION rousseau", {emile}},
        {"lukasz", {"4444"}},
        {"NUNEZ", {"2222"}},
        {"river", {"4444", "2222"}}, // "Rivers of the North" before "The Lost River"
        {"river north", {"4444"}},
        {"river zebra", {}},
        {"o'hara", {"1111"}},
        {"o’hara's", {"1111"}},
        {"o'brien", {"1111"}},
        {"l'éducation", {emile}},
        {"'", {emile, "1111"}},
        {"0-306-40615-2", {emile}},
        {"9780306406157", {emile}},
        {"0306406152", {emile}},
        {"40615", {emile}},
        {"老街", {"3333"}},
        {"100%", {"5555"}},
        {"a_b", {"5555"}},
        {"%", {"5555"}},
        {"r.ver", {}},
        {"[a-z]", {}},
        {"", {}},
        {"   ", {}},
    };
    RecordSource list("adoFound", db.shop());
    for (const Case &c : cases) {
        const QString typed = QString::fromUtf8(c.typed);
        catalogsearch::open(list, typed);
        QStringList found;
        for (int row = 0; row < list.recordCount(); ++row)
            found << list.textAt(row, list.fieldIndex("ISBN"));
        EXPECT_EQ(found, c.found) << c.typed;
    }
    // What the list shows of a title: its price and its stock, as stored.
    catalogsearch::open(list, "lost");
    ASSERT_EQ(list.recordCount(), 1);
    EXPECT_EQ(list.text("Title"), "The Lost River");
    EXPECT_EQ(list.text("Author"), QString::fromUtf8("Ana Núñez"));
    EXPECT_EQ(list.text("Sale Price"), "9.5");
    EXPECT_EQ(list.text("Qty"), "0");
    // A word that matches much of the catalogue lists no more than asked.
    catalogsearch::open(list, "e", 3);
    EXPECT_EQ(list.recordCount(), 3);
}

} // namespace
