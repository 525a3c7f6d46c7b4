// The book query: the catalogue in four orders, details following the current title, no edits.
#include "bookqueryscreen.h"
#include "boundlineedit.h"
#include "reportgrid.h"

#include <QPushButton>
#include <QTableView>
#include <gtest/gtest.h>

namespace {

class BookQuery : public ::testing::Test {
protected:
    void SetUp() override {
        // Natural order differs from every sort order.
        shop.db.exec(
            "INSERT INTO Titles (ISBN, Title, Author, Subject, Publisher, [Year Published], "
            "[Fixed Price], [Sale Price], Qty) VALUES "
            "('300', 'Cinder', 'Bell', 'Poetry', 'Zephyr', '1999/1/2', 30, 27.5, 1),"
            "('100', 'Anvil', 'Cole', 'Craft', 'Mearns', '2000/3/4', 12, 10, 2),"
            "('200', 'Bramble', 'Ames', 'Nature', 'Osprey', '2001/5/6', 8.25, 8, 3),"
            "('400', 'Acorn', 'Dunn', 'Nature', 'Albion', '1998/7/8', 20, 18, 4)");
        screen = std::make_unique<BookQueryScreen>(shop.context);
    }
    QString box(int index) const {
        return screen->findChild<BoundLineEdit *>(QStringLiteral("txtFields_%1").arg(index))
            ->text();
    }
    void press(int index) {
        screen->findChild<QPushButton *>(QStringLiteral("Command1_%1").arg(index))->click();
    }
    QStringList isbns() const {
        QStringList result;
        for (const QString &line : gridLines(*screen))
            result << line.section('|', 0, 0);
        return result;
    }

    TestShop shop;
    std::unique_ptr<BookQueryScreen> screen;
};

TEST_F(BookQuery, OpensUnsortedWithTheFirstTitleInTheBoxes) {
    EXPECT_EQ(screen->windowTitle(), "BookQuery");
    EXPECT_EQ(isbns(), QStringList({"300", "100", "200", "400"}));
    EXPECT_EQ(gridHeadings(*screen),
              QStringList({"ISBN", "Title", "Author", "Subject", "Publisher", "Year Published"}));
    const QStringList boxes{box(0), box(1), box(2), box(3), box(4), box(5), box(6)};
    EXPECT_EQ(boxes, QStringList({"300", "Cinder", "Bell", "Zephyr", "1999/1/2", "30", "27.5"}));
}

struct SortCase {
    int button;
    QString caption;
    QStringList isbns;
};

class Sorts : public BookQuery, public ::testing::WithParamInterface<SortCase> {};

TEST_P(Sorts, EachButtonListsAllTitlesInItsOrderWithTheFirstCurrent) {
    const SortCase &c = GetParam();
    EXPECT_EQ(screen->findChild<QPushButton *>(QStringLiteral("Command1_%1").arg(c.button))->text(),
              c.caption);
    screen->findChild<DataGrid *>("DataGrid1")->view()->selectRow(3);
    for (int time = 0; time < 2; ++time) {
        press(c.button);
        EXPECT_EQ(isbns(), c.isbns);
        EXPECT_EQ(box(0), c.isbns.first());
        EXPECT_EQ(screen->findChild<DataGrid *>("DataGrid1")->currentLine(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    BookQuery, Sorts,
    ::testing::Values(SortCase{0, "order by ISBN", {"100", "200", "300", "400"}},
                      SortCase{1, "order by Title", {"400", "100", "200", "300"}},
                      SortCase{2, "order by Author", {"200", "300", "100", "400"}},
                      SortCase{3, "order by publisher", {"400", "100", "200", "300"}}));

TEST_F(BookQuery, NothingTakesAnEditAndTheBoxesFollowTheGrid) {
    for (int i = 0; i < 7; ++i)
        EXPECT_FALSE(
            screen->findChild<BoundLineEdit *>(QStringLiteral("txtFields_%1").arg(i))->isEnabled());
    EXPECT_TRUE(gridIsReadOnly(*screen));
    screen->findChild<DataGrid *>("DataGrid1")->view()->selectRow(2);
    EXPECT_EQ(box(0), "200");
    EXPECT_EQ(box(1), "Bramble");
    EXPECT_EQ(box(5), "8.25");
}

TEST_F(BookQuery, CloseClosesTheScreenAndLeavesTheCatalogueAlone) {
    const QStringList before = shop.db.rows("SELECT * FROM Titles");
    press(1);
    press(4);
    EXPECT_EQ(shop.opener.closed, QList<QWidget *>({screen.get()}));
    EXPECT_EQ(shop.db.rows("SELECT * FROM Titles"), before);
}

TEST(BookQueryEmpty, AnEmptyCatalogueGivesAnEmptyGridAndEmptyBoxes) {
    TestShop shop;
    BookQueryScreen screen(shop.context);
    screen.findChild<QPushButton *>("Command1_0")->click();
    EXPECT_TRUE(gridLines(screen).isEmpty());
    EXPECT_EQ(screen.findChild<BoundLineEdit *>("txtFields_0")->text(), "");
}

} // namespace
