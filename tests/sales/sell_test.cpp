// The counter screen: lookup, offers, booking a sale whole, totals and the customer's list.
#include "onsalescreen.h"
#include "sellfixture.h"
#include "testserver.h"

#include <QApplication>
#include <QTest>

TEST_F(Sell, ShowsTheShopsCaptions) {
    EXPECT_EQ(screen->windowTitle(), "Sell Operation");
    EXPECT_EQ(text("Label5"), "SELLING   CD & BOOKs");
    EXPECT_EQ(screen->palette().color(QPalette::Window), QColor(0, 255, 255));
    const std::pair<const char *, const char *> captions[] = {
        {"lblLabels_11", "ISBN:"},      {"lblLabels_12", "BOOK(CD) TITLE:"},
        {"lblLabels_14", "PRICE:"},     {"lblLabels_2", "QUANTITY:"},
        {"lblLabels_1", "Subtotal:"},   {"Label4", "ON SALE"},
        {"lblLabels_3", "BOOK TITLE:"}, {"lblLabels_4", "PRICE:"},
        {"lblLabels_5", "QUANTITY:"},   {"lblLabels_6", "Subtotal:"},
        {"Label7", "Total="},           {"Label1", "ISBN ="},
        {"lblLabels_0", "Quantity="}};
    for (const auto &[name, caption] : captions)
        EXPECT_EQ(text(name).remove('&'), caption) << name;
    EXPECT_EQ(box("Text2")->text(), "1");
    EXPECT_EQ(text("Label2"), "");
    EXPECT_EQ(text("Label6"), "");
}

TEST_F(Sell, LookupShowsTitlePriceQuantityAndSubtotal) {
    lookUp("111", "3");
    EXPECT_EQ(text("Label3_0"), "111");
    EXPECT_EQ(text("Label3_1"), "Short");
    EXPECT_EQ(text("Label3_2"), "12.5");
    EXPECT_EQ(text("Label3_3"), "3");
    EXPECT_EQ(text("Label3_4"), "37.5");
    EXPECT_EQ(text("Label2"), "n/a");
    // The quantity is the one copied at lookup time.
    box("Text2")->setText("5");
    screen->recordSale();
    EXPECT_EQ(stock("111"), 7);
}

TEST_F(Sell, OfferPeriodsIncludeBothDaysAndOnlyTheFirstOfferCounts) {
    struct Case {
        const char *offers; // rows for onsale, ISBN 111; today is 2001-05-03
        bool onSale;
        const char *label2;
        const char *subtotal; // 2 copies
    };
    const Case cases[] = {
        {"('111', 9, '2001-05-02', '2001-05-04')", true, "9", "18"},
        {"('111', 9, '2001-05-01', '2001-05-02')", false, "n/a", "25"},
        {"('111', 9, '2001-05-04', '2001-05-09')", false, "n/a", "25"},
        {"('111', 9, '2001-05-03', '2001-05-03')", true, "9", "18"},
        {"('111', 9, NULL, '2001-05-09')", false, "n/a", "25"},
        {"('111', 9, '2001-05-01', NULL)", false, "n/a", "25"},
        {"('111', 9, '2001-04-01', '2001-04-30'), ('111', 7, '2001-05-01', '2001-05-31')", false,
         "n/a", "25"},
        {"('999', 7, '2001-05-01', '2001-05-31')", false, "n/a", "25"},
    };
    for (const Case &c : cases) {
        shop.db.exec("DELETE FROM onsale");
        shop.db.exec(QString("INSERT INTO onsale VALUES ") + c.offers);
        lookUp("111", "2");
        EXPECT_EQ(screen->onSaleFlag(), c.onSale) << c.offers;
        EXPECT_EQ(text("Label2"), c.label2) << c.offers;
        EXPECT_EQ(text("Label3_4"), c.subtotal) << c.offers;
        EXPECT_EQ(text("Label3_2"), "12.5") << c.offers;
    }
    screen->recordSale(); // the last case: the counter price
    EXPECT_EQ(shop.db.rows("SELECT Price FROM soldbook"), QStringList{"12.5"});
}

TEST_F(Sell, ASaleOnOfferBooksTheOfferPrice) {
    shop.db.exec("INSERT INTO onsale VALUES ('222', 6.5, '2001-05-01', '2001-05-31')");
    sell("222", "2");
    EXPECT_EQ(shop.db.rows("SELECT Price, Qty FROM soldbook"), QStringList{"6.5|2"});
    EXPECT_EQ(receipt()->line(0), (QStringList{"Rivers of the North", "", "6.5", "2", "13"}));
    EXPECT_EQ(text("Label6"), "13");
}

TEST_F(Sell, RecordingASaleBooksItClearsTheDisplayAndPrintsTheLine) {
    screen->show();
    QApplication::setActiveWindow(screen.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(screen.get()));
    shop.clock.set(QDate(2001, 5, 3), QTime(14, 5, 9));
    sell("333", "3");
    EXPECT_EQ(shop.db.rows("SELECT * FROM soldbook"),
              QStringList{"2001-05-03|14:05:09|333|A Very Long Title Of Thirty Ch|20|3"});
    EXPECT_EQ(shop.db
                  .scalar(testserver::enabled() ? "SELECT pg_typeof(Qty)::text FROM soldbook"
                                                : "SELECT typeof(Qty) FROM soldbook")
                  .toString(),
              "integer");
    EXPECT_EQ(stock("333"), -2); // selling more than the stock is allowed, once confirmed
    ASSERT_EQ(shop.messages.shown.size(), 1u);
    EXPECT_TRUE(shop.messages.shown[0].confirmation);
    ASSERT_EQ(receipt()->lineCount(), 1);
    EXPECT_EQ(receipt()->line(0), (QStringList{"A Very Long Title Of Thir", "", "20", "3", "60"}));
    EXPECT_EQ(text("Label6"), "60");
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(text(QString("Label3_%1").arg(i)), "") << i;
    EXPECT_EQ(text("Label2"), "n/a");
    EXPECT_EQ(box("Text1")->text(), "");
    EXPECT_EQ(box("Text2")->text(), "1");
    EXPECT_TRUE(box("Text1")->hasFocus());
    // With the display cleared, OK books nothing more.
    screen->recordSale();
    EXPECT_EQ(shop.db.count("soldbook"), 1);
}

TEST_F(Sell, OkBooksNothingWithoutASuccessfulLookup) {
    screen->recordSale();
    lookUp("111");
    lookUp("no such isbn");
    EXPECT_EQ(shop.messages.texts().last(),
              "Cannot Find The BOOK Title ,Please check if the ISBN is correct.");
    EXPECT_EQ(text("Label3_0"), "");
    screen->recordSale();
    EXPECT_EQ(shop.db.count("soldbook"), 0);
    EXPECT_EQ(stock("111"), 10);
    EXPECT_EQ(receipt()->lineCount(), 0);
}

TEST_F(Sell, LookupGuardsWhatWasTyped) {
    struct Case {
        const char *isbn;
        const char *quantity;
        const char *message; // start of the message, "" for none
        const char *shownTitle;
    };
    shop.db.exec("INSERT INTO Titles (ISBN, Title, [Sale Price], Qty) VALUES "
                 "('0''Hara-7', 'Irish Tales', 5, 2), ('nop', 'No Price', NULL, 2)");
    const Case cases[] = {
        {"111", "abc", "The quantity \"abc\" is not a whole number", ""},
        {"111", "2.5", "The quantity \"2.5\" is not a whole number", ""},
        {"111", "", "", "Short"}, // an empty box sells one copy
        {"0'Hara-7", "1", "", "Irish Tales"},
        {"' OR ''='", "1", "Cannot Find The BOOK Title", ""},
        {"nop", "1", "The title \"No Price\" has no sale price", ""},
    };
    for (const Case &c : cases) {
        shop.messages.shown.clear();
        lookUp("111", "1"); // a previous lookup must not survive a failed one
        lookUp(c.isbn, c.quantity);
        const QString message = shop.messages.shown.empty() ? "" : shop.messages.texts().first();
        EXPECT_TRUE(message.startsWith(c.message))
            << c.isbn << " " << c.quantity << ": " << message.toStdString();
        EXPECT_EQ(message.isEmpty(), QString(c.message).isEmpty()) << c.isbn;
        EXPECT_EQ(text("Label3_1"), c.shownTitle) << c.isbn;
        EXPECT_EQ(screen->hasLookup(), QString(c.shownTitle) != "") << c.isbn;
    }
    EXPECT_EQ(box("Text2")->text(), "1");
}

TEST_F(Sell, AnEmptyCatalogueFindsNothing) {
    shop.db.exec("DELETE FROM Titles");
    lookUp("111");
    EXPECT_EQ(shop.messages.texts(),
              QStringList{"Cannot Find The BOOK Title ,Please check if the ISBN is correct."});
    EXPECT_FALSE(screen->hasLookup());
}

TEST_F(Sell, LookupTakesTheFirstTitleWithTheIsbnAndItsCurrentData) {
    shop.db.exec("INSERT INTO Titles (ISBN, Title, [Sale Price], Qty) VALUES "
                 "('222', 'Second copy of 222', 99, 4)");
    shop.db.exec("UPDATE Titles SET [Sale Price] = 9.25 WHERE Title = 'Rivers of the North'");
    lookUp("222");
    EXPECT_EQ(text("Label3_1"), "Rivers of the North");
    EXPECT_EQ(text("Label3_2"), "9.25");
}

TEST_F(Sell, NextCustomerEmptiesListAndTotalButKeepsAPendingLookup) {
    sell("111", "2");
    lookUp("222", "1");
    screen->nextCustomer();
    EXPECT_EQ(text("Label6"), "0");
    EXPECT_EQ(receipt()->lineCount(), 0);
    EXPECT_EQ(text("Label3_0"), "222");
    EXPECT_EQ(box("Text1")->text(), "222");
    screen->recordSale();
    EXPECT_EQ(shop.db.count("soldbook"), 2);
    EXPECT_EQ(text("Label6"), "8");
    EXPECT_EQ(receipt()->lineCount(), 1);
}

TEST_F(Sell, AFailedSaleRowBooksNothingAndKeepsTheLookup) {
    shop.db.failWrites("INSERT", "soldbook");
    sell("111", "2");
    EXPECT_EQ(stock("111"), 10);
    EXPECT_EQ(shop.db.count("soldbook"), 0);
    ASSERT_EQ(shop.messages.shown.size(), 1u);
    EXPECT_TRUE(shop.messages.texts().first().contains("disk full"));
    EXPECT_TRUE(shop.messages.texts().first().startsWith("The sale was not recorded"));
    // The box's own OK only closes it: the text says which OK tries again.
    EXPECT_TRUE(shop.messages.texts().first().endsWith(
        "The sale stays on the screen: press its OK button (Alt+O) to try again."));
    EXPECT_EQ(text("Label3_0"), "111");
    EXPECT_EQ(text("Label3_4"), "25");
    EXPECT_EQ(text("Label6"), "");
    EXPECT_EQ(receipt()->lineCount(), 0);

    shop.db.stopFailingWrites();
    screen->recordSale();
    EXPECT_EQ(stock("111"), 8);
    EXPECT_EQ(shop.db.count("soldbook"), 1);
    EXPECT_EQ(text("Label6"), "25");
}

TEST_F(Sell, ATitleDeletedAfterItsLookupIsNotSold) {
    lookUp("111");
    shop.db.exec("DELETE FROM Titles WHERE ISBN='111'");
    screen->recordSale();
    EXPECT_EQ(shop.db.count("soldbook"), 0);
    ASSERT_EQ(shop.messages.shown.size(), 1u);
    EXPECT_TRUE(shop.messages.texts().first().contains("no longer in the catalogue"));
}

TEST_F(Sell, TwoWindowsSellingTheSameTitleLoseNoStock) {
    SellScreen other(shop.context);
    lookUp("111", "2");
    lookUp("111", "3", &other);
    screen->recordSale();
    other.recordSale();
    EXPECT_EQ(stock("111"), 5);
    EXPECT_EQ(shop.db.count("soldbook"), 2);
    // Each window keeps its own customer.
    EXPECT_EQ(text("Label6"), "25");
    EXPECT_EQ(text("Label6", &other), "37.5");
    EXPECT_EQ(receipt()->lineCount(), 1);
    screen->nextCustomer();
    EXPECT_EQ(other.findChild<ReceiptList *>("Pic")->lineCount(), 1);
    EXPECT_EQ(other.saleTotal(), Money::fromUnits(375000));
}

TEST_F(Sell, AnOfferCreatedOnTheOfferScreenPricesTheNextLookup) {
    OnSaleScreen offers(shop.context);
    offers.findChild<QLineEdit *>("Text1_0")->setText("111");
    offers.findChild<QLineEdit *>("Text1_1")->setText("10");
    offers.createOffer();
    lookUp("111", "2");
    EXPECT_EQ(text("Label2"), "10");
    EXPECT_EQ(text("Label3_4"), "20");
}

TEST_F(Sell, ListColumnsStandUnderTheirCaptions) {
    screen->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(screen.get()));
    sell("111", "1"); // shorter than a zone
    sell("222", "1"); // 19 characters
    sell("333", "1"); // cut at 25
    shop.db.exec("INSERT INTO Titles (ISBN, Title, [Sale Price], Qty) VALUES "
                 "('w', 'WWWWWWWWWWWWWWWWWWWWWWWWW', 1234.75, 9)");
    sell("w", "12"); // wide letters: the zones widen, the 25 letters are printed whole
    const int zone = receipt()->zoneWidth();
    const QFontMetrics metrics(receipt()->font());
    const char *const captions[] = {"lblLabels_4", "lblLabels_5", "lblLabels_6"};
    for (int line = 0; line < receipt()->lineCount(); ++line) {
        EXPECT_LE(receipt()->line(line)[0].size(), 25);
        EXPECT_LT(receipt()->itemX(line, 0) + metrics.horizontalAdvance(receipt()->line(line)[0]),
                  receipt()->itemX(line, 2))
            << line;
        for (int column = 0; column < 3; ++column) {
            EXPECT_EQ(receipt()->itemX(line, column + 2), (column + 3) * zone) << line;
            const QLabel *caption = screen->findChild<QLabel *>(captions[column]);
            const int captionX = caption->mapTo(screen.get(), QPoint(0, 0)).x();
            const int zoneX =
                receipt()->mapTo(screen.get(), QPoint(0, 0)).x() + receipt()->zoneStart(column + 3);
            EXPECT_EQ(captionX, zoneX) << captions[column];
        }
    }
}
