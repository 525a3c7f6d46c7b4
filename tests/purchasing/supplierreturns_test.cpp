// Returns to suppliers on the file and on the server: the copies of a delivery still unsold
// before its deadline, sent back within and past it, never more than the shelf holds; the
// credit expected and the supplier's credit notes.
#include "../accounting/accountingfixture.h"
#include "../sales/pdfpages.h"
#include "billpayscreen.h"
#include "returnsscreen.h"
#include "stockfixture.h"
#include "supplierreturns.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPdfWriter>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

class SupplierReturns : public StockShop {
protected:
    void SetUp() override {
        StockShop::SetUp();
        // One: 2 on the shelf before, 5 delivered on 4 May (back by the 20th), then 3 sold:
        // the 2 older copies went first, so 4 of the delivery are unsold.
        order({{1, 5}});
        Delivery d = delivery({{1, 5}});
        d.returnBy = QDate(2001, 5, 20);
        shop::receive(*session, d, false);
        shop.db.exec("UPDATE Titles SET Qty = Qty - 3 WHERE BOOKNO = 1");
    }
    ReturnNote note(qint64 copies) {
        const qint64 entry = shop.db.scalar("SELECT min(Entry) FROM deliverylines").toLongLong();
        return {QStringLiteral("Bertram"), {{entry, copies}}, at(10)};
    }
    QString unsold(int day, int days) {
        QStringList list;
        for (const Returnable &r :
             shop::returnDeadlines(session->connection(), QDate(2001, 5, day), days))
            list << QStringLiteral("%1:%2").arg(r.title).arg(r.unsold);
        return list.join(QLatin1Char(' '));
    }
};

TEST_F(SupplierReturns, WithinAndPastTheDeadline) {
    EXPECT_EQ(unsold(10, 14), "One:4");
    EXPECT_TRUE(unsold(10, 5).isEmpty()); // the deadline is further off
    const struct {
        const char *name;
        int day;
        qint64 copies;
        bool accepted;
        const char *refused; // empty: made
        const char *stock;
        const char *unsoldAfter;
    } steps[] = {
        {"within the deadline", 10, 2, false, "", "2 0 1", "One:2"},
        {"more than the shelf holds", 10, 3, true, "are free in stock.", "2 0 1", "One:2"},
        {"none", 10, 0, true, "1 copy or more", "2 0 1", "One:2"},
        {"past the deadline, not accepted", 21, 1, false, "past its return deadline of 2001/5/20",
         "2 0 1", "One:2"},
        {"past the deadline, accepted", 21, 1, true, "", "1 0 1", "One:1"},
    };
    for (const auto &s : steps) {
        SCOPED_TRACE(s.name);
        const QString why = refusalOf(
            [&] { shop::makeReturn(*session, note(s.copies), QDate(2001, 5, s.day), s.accepted); });
        if (*s.refused)
            EXPECT_TRUE(why.contains(QLatin1String(s.refused))) << why.toStdString();
        else
            EXPECT_EQ(why, "(done)");
        EXPECT_EQ(stock(), s.stock);
        EXPECT_EQ(unsold(10, 14), s.unsoldAfter);
    }
    EXPECT_EQ(shop.db.rows("SELECT Credit, PastDeadline FROM supplierreturns ORDER BY ReturnNo"),
              (QStringList{"12|0", "6|1"}));
    EXPECT_EQ(shop.db.rows("SELECT Title, Copies, Cost FROM returnlines ORDER BY Entry"),
              (QStringList{"One|2|6", "One|1|6"}));
    // The credit expected, and the supplier's note that brings it.
    shop::recordCreditNote(*session, QStringLiteral("Bertram"), QStringLiteral("CN-1"),
                           QDate(2001, 5, 25), Money::fromUnits(120000), 1);
    EXPECT_NE(refusalOf([&] {
                  shop::recordCreditNote(*session, QStringLiteral("Bertram"),
                                         QStringLiteral("CN-1"), QDate(2001, 5, 26),
                                         Money::fromUnits(10000));
              }),
              "(done)");
    const SupplierCredit credit = shop::supplierCredit(session->connection(), "Bertram");
    EXPECT_EQ(credit.expected.text(), "18");
    EXPECT_EQ(credit.noted.text(), "12");
}

// The screen: the copies typed on a line go back, a typing that is no number is refused with
// nothing sent, the note prints to a real PDF file, the credit note is shown beside the credit.
TEST_F(SupplierReturns, TheReturnNoteIsMadePrintedAndCredited) {
    ReturnsScreen screen(shop.context); // today is 3 May: the deadline is 17 days off
    screen.supplierBox()->setCurrentText(QStringLiteral("Bertram"));
    screen.daysBox()->setValue(30);
    screen.listDeadlines();
    ASSERT_EQ(screen.linesTable()->rowCount(), 1);
    EXPECT_EQ(screen.linesTable()->item(0, 4)->text(), "4");
    for (const char *typed : {"two", "-1"}) {
        screen.linesTable()->item(0, 6)->setText(QLatin1String(typed));
        EXPECT_EQ(screen.makeReturnNote(false), 0);
        EXPECT_EQ(shop.db.count("supplierreturns"), 0);
    }
    screen.linesTable()->item(0, 6)->setText(QStringLiteral("2"));
    const qint64 returnNo = screen.makeReturnNote(false);
    ASSERT_EQ(returnNo, 1);
    EXPECT_EQ(stock(), "2 0 1");
    EXPECT_EQ(screen.linesTable()->item(0, 4)->text(), "2");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("return.pdf"));
    {
        QPdfWriter pdf(path);
        EXPECT_EQ(screen.printNote(pdf, returnNo), 1);
    }
    EXPECT_EQ(readPdf(path).count, 1);
    screen.creditNumberBox()->setText(QStringLiteral("CN-7"));
    screen.creditAmountBox()->setText(QStringLiteral("12"));
    screen.recordCredit();
    EXPECT_EQ(screen.creditLabel()->text(),
              "Credit expected from Bertram: 12; credit notes received: 12.");
    // The payment screen sets the credit beside the bills it lists.
    shop.db.exec("INSERT INTO Bill VALUES ('R-1', '2001-05-02', 30, '09:00:00', 'Bertram')");
    BillPayScreen pay(shop.context);
    accounting_test::chooseListing(pay, QStringLiteral("Bertram"), QDate(2001, 5, 1),
                                   QDate(2001, 5, 31));
    pay.queryList();
    EXPECT_EQ(pay.findChild<QLabel *>(QStringLiteral("lblCredit"))->text(),
              "Bills listed: 30. Credit notes of Bertram: 12 (credit expected from returns: 12). "
              "To pay after credit: 18.");
}

} // namespace
