// Refunds and voids at the counter, on the file and on the server: a refund by receipt capped
// at what is left of each line, at the price paid; a refund by ISBN at the title's price, which
// may be lowered but not raised; a negative quantity typed at the counter opening the refund
// rather than selling minus copies, with payments on and off; a line or the whole receipt
// voided before payment, and after payment only a refund.
#include "receiptlist.h"
#include "refunddialog.h"
#include "tillfixture.h"
#include "voiddialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QSpinBox>
#include <QTableWidget>

namespace {

QString lastSale(TestDatabase &db) {
    return db.rows("SELECT ISBN, Price, Qty FROM soldbook ORDER BY rowid")
        .value(db.count("soldbook") - 1);
}

} // namespace

// Each refund of the receipt's line takes at most what is left of it: sold less what earlier
// refunds took back. Damaged copies do not go back into stock.
TEST_F(TillCounter, ARefundByReceiptIsCappedAtWhatIsLeft) {
    sell("111", "3"); // stock 10 -> 7
    pay(0, "", "50");
    struct Step {
        qint64 asked;
        bool damaged;
        int taken; // what the line's box holds: never more than is left
        const char *told;
        int stock;
        const char *given;
    };
    const Step steps[] = {{2, false, 2, "", 9, "Given back: 25.00"},
                          {5, true, 1, "", 9, "Given back: 12.50"},
                          {1, false, 0, "Set the copies to refund of at least one line", 9, ""}};
    for (const Step &step : steps) {
        SCOPED_TRACE(step.asked);
        RefundDialog *dialog = screen->returns()->refund();
        ASSERT_NE(dialog, nullptr);
        typeEnter(dialog->receiptBox(), " a1"); // as the customer reads it out
        ASSERT_EQ(dialog->linesTable()->rowCount(), 1) << told().join(' ').toStdString();
        dialog->setLineRefund(0, step.asked, step.damaged);
        EXPECT_EQ(dialog->findChild<QSpinBox *>("spnRefund_0")->value(), step.taken);
        dialog->reasonBox()->setCurrentIndex(0);
        EXPECT_EQ(dialog->refund(), *step.told == '\0');
        EXPECT_TRUE(toldOnly(step.told));
        EXPECT_EQ(stock("111"), step.stock);
        if (*step.given != '\0') {
            EXPECT_EQ(dialog->givenText(), step.given);
            EXPECT_EQ(lastSale(shop.db), QString("111|12.5|-%1").arg(step.taken));
        }
        closeWindows();
    }
    EXPECT_EQ(shop.db.rows("SELECT Back FROM linesback"), QStringList{"3"});
    EXPECT_EQ(shop.db.count("refunds"), 2);
}

TEST_F(TillCounter, ARefundByIsbnMayLowerThePriceButNotRaiseIt) {
    struct Step {
        const char *price, *copies;
        bool damaged;
        const char *told; // the start of the refusal; empty when given
        int stock;
        const char *sale; // the sale row of the refund
    };
    const Step steps[] = {
        {"13", "1", false, "The price each may be lowered, not raised: at most 12.50", 10, ""},
        {"ten", "1", false, "The price each \"ten\" is not an amount of money", 10, ""},
        {"10", "none", false, "The copies \"none\" are not a whole number", 10, ""},
        {"10", "2", true, "", 10, "111|10|-2"},
        {"12.50", "1", false, "", 11, "111|12.5|-1"},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.price);
        RefundDialog *dialog = screen->returns()->refund();
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QTabWidget *>("tabRefund")->setCurrentIndex(1);
        typeEnter(dialog->isbnBox(), "111");
        EXPECT_EQ(dialog->priceBox()->text(), "12.50"); // the title's counter price
        dialog->priceBox()->setText(step.price);
        dialog->copiesBox()->setText(step.copies);
        dialog->damagedBox()->setChecked(step.damaged);
        dialog->reasonBox()->setCurrentIndex(0);
        const int salesBefore = shop.db.count("soldbook");
        EXPECT_EQ(dialog->refund(), *step.told == '\0');
        EXPECT_TRUE(toldOnly(step.told));
        EXPECT_EQ(stock("111"), step.stock);
        if (*step.told != '\0') {
            EXPECT_EQ(dialog->priceBox()->text() + dialog->copiesBox()->text(),
                      QString(step.price) + step.copies); // kept to be put right
            EXPECT_EQ(shop.db.count("soldbook"), salesBefore);
        } else {
            EXPECT_EQ(lastSale(shop.db), step.sale);
        }
        closeWindows();
    }
}

// Minus copies typed at the counter are copies brought back: the refund by ISBN opens with
// them, and nothing is sold. With payments off the refund moves stock and sales without money.
TEST_F(TillCounter, ANegativeQuantityOpensTheRefundByIsbn) {
    QStringList refunds; // with money out of the session, or none
    for (const bool paymentsOn : {true, false}) {
        SCOPED_TRACE(paymentsOn);
        shop::setPaymentsOn(shop.db.connection(), paymentsOn);
        screen = std::make_unique<SellScreen>(shop.context);
        const int stockBefore = stock("111");
        const int salesBefore = shop.db.count("soldbook");
        lookUp("111", "-2");
        EXPECT_FALSE(screen->hasLookup());
        EXPECT_EQ(shop.db.count("soldbook"), salesBefore);
        auto *dialog = window<RefundDialog>("dlgRefund");
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(dialog->byReceipt());
        EXPECT_EQ(dialog->isbnBox()->text(), "111");
        EXPECT_EQ(dialog->copiesBox()->text(), "2");
        EXPECT_EQ(dialog->methodBox()->isVisibleTo(dialog), paymentsOn);
        dialog->reasonBox()->setCurrentIndex(0);
        ASSERT_TRUE(dialog->refund()) << told().join(' ').toStdString();
        EXPECT_EQ(stock("111"), stockBefore + 2);
        EXPECT_EQ(lastSale(shop.db), "111|12.5|-2");
        refunds << (paymentsOn ? "0|0" : "1|1");
        EXPECT_EQ(shop.db.rows("SELECT Method IS NULL, Session IS NULL FROM refunds ORDER BY 1"),
                  refunds);
        closeWindows();
    }
}

// A line rung up by mistake, or the whole receipt, is voided before payment: the copies go
// back, the counter's total leaves it out and the list shows it taken back. After payment only
// a refund gives it back.
TEST_F(TillCounter, ALineOrTheWholeReceiptIsVoidedBeforePayment) {
    sell("111"); // 12.50
    sell("222"); // 8
    sell("333"); // 20
    struct Step {
        int row; // 0: the whole receipt; then the lines not voided, in order
        const char *reason;
        const char *told;
        QList<int> stock; // 111, 222, 333
        const char *total;
        int listed;
    };
    const Step steps[] = {
        {2, "", "Type the reason for the void", {9, 3, 0}, "40.5", 3},
        {2, "scanned twice", "", {9, 4, 0}, "32.5", 4},
        {0, "customer left", "", {10, 4, 1}, "0", 6},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.reason);
        VoidDialog *dialog = screen->returns()->voidOnReceipt();
        ASSERT_NE(dialog, nullptr);
        dialog->choose(step.row);
        dialog->reasonBox()->setText(step.reason);
        EXPECT_EQ(dialog->voidChosen(), *step.told == '\0');
        EXPECT_TRUE(toldOnly(step.told));
        EXPECT_EQ((QList<int>{stock("111"), stock("222"), stock("333")}), step.stock);
        EXPECT_EQ(screen->saleTotal(), money(step.total));
        EXPECT_EQ(text("Label6"), step.total);
        EXPECT_EQ(receipt()->lineCount(), step.listed);
        closeWindows();
    }
    EXPECT_EQ(shop.db.rows("SELECT Qty FROM soldbook WHERE ISBN = '222' ORDER BY rowid"),
              (QStringList{"1", "-1"}));
    EXPECT_EQ(screen->findChild<QLabel *>("lblReceiptNumber")->text(), "Receipt A1: voided");
    sell("111"); // a voided receipt is done: the next sale starts the next one
    EXPECT_EQ(screen->payments()->receipt().readable(), "A2");
    pay(0, "", "20");
    EXPECT_EQ(screen->returns()->voidOnReceipt(), nullptr);
    EXPECT_EQ(told(), QStringList{"The receipt A2 is paid: a line of it is given back with a "
                                  "refund (F4), not voided."});
}
