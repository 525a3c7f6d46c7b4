// The stock cycle's screens as the operator uses them: a reorder list edited and made a draft,
// the draft sent and printed as the supplier gets it, a delivery scanned and received.
#include "../accounting/accountingfixture.h"
#include "billpayscreen.h"
#include "datagrid.h"
#include "datepicker.h"
#include "gridcommands.h"
#include "gridprinter.h"
#include "heldbillsscreen.h"
#include "invoicechecks.h"
#include "invoicescreen.h"
#include "maintenancetable.h"
#include "purchaseordersscreen.h"
#include "receivescreen.h"
#include "recordeditor.h"
#include "reorderscreen.h"
#include "screenids.h"
#include "stockfixture.h"
#include "supplierrenamewarning.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

namespace {

class StockScreens : public StockShop {
protected:
    QString lastMessage() const {
        const QStringList texts = shop.messages.texts();
        return texts.isEmpty() ? QString() : texts.last();
    }
};

TEST_F(StockScreens, AReorderListIsEditedAndMadeADraft) {
    ReorderScreen screen(shop.context);
    screen.chooseSupplier(QStringLiteral("Bertram"));
    screen.listSuggestions();
    QAbstractItemModel *model = screen.grid()->view()->model();
    ASSERT_EQ(model->rowCount(), 1) << shop.messages.texts().join(" / ").toStdString();
    EXPECT_EQ(model->index(0, 1).data().toString(), "One");
    // Only the quantity and the cost take typing.
    EXPECT_FALSE(model->flags(model->index(0, 7)) & Qt::ItemIsEditable);
    EXPECT_TRUE(model->setData(model->index(0, 8), QStringLiteral("6"), Qt::EditRole));
    screen.isbnBox()->setText(QStringLiteral("222"));
    QTest::keyClick(screen.isbnBox(), Qt::Key_Return);
    EXPECT_EQ(model->rowCount(), 2);
    screen.makeDraftOrder();
    EXPECT_TRUE(lastMessage().startsWith("Draft purchase order 1 is made"))
        << lastMessage().toStdString();
    EXPECT_EQ(orderNow(1), "6/0/0 1/0/0 draft");
    EXPECT_EQ(model->rowCount(), 0);
}

TEST_F(StockScreens, ADraftIsSentAndPrintsWithItsSupplier) {
    order({{1, 4}, {2, 2}}, false);
    PurchaseOrdersScreen screen(shop.context);
    ASSERT_EQ(screen.chosenOrder(), std::optional<qint64>(1));
    screen.send();
    EXPECT_EQ(orderNow(1), "4/0/0 2/0/0 sent");
    const PrintedTable printed = screen.linesGrid()->findChild<GridCommands *>()->printedTable();
    EXPECT_EQ(printed.subtitle, "Purchase order 1 to Bertram (sent)");
    ASSERT_EQ(printed.rows, 2);
    EXPECT_EQ((QStringList{printed.cell(0, 0), printed.cell(0, 1), printed.cell(0, 2)}),
              (QStringList{"0-306-40615-2", "One", "4"}));
    shop.messages.answerNext(true);
    screen.closeOrder();
    EXPECT_EQ(orderNow(1), "4/0/0 2/0/0 closed");
    EXPECT_FALSE(screen.chosenOrder()); // unfinished orders only
}

// Scanned ISBNs add the copies typed (1 when none), in any form of the ISBN; a quantity that is
// not a whole number is refused and kept; more than ordered is received once accepted.
TEST_F(StockScreens, ADeliveryIsScannedAndReceived) {
    order({{1, 2}});
    ReceiveScreen screen(shop.context);
    screen.chooseSupplier(QStringLiteral("Bertram"));
    ASSERT_EQ(screen.orderBox()->count(), 2);
    const struct {
        const char *isbn, *copies;
        const char *lines;
    } scans[] = {
        {"9780306406157", "1", "One:1"},
        {"0306406152", "2", "One:3"},
        {"222", "1.5", "One:3"}, // refused, kept in the boxes
        {"999", "1", "One:3"},   // no such title
    };
    for (const auto &scan : scans) {
        SCOPED_TRACE(scan.isbn);
        screen.copiesBox()->setText(QLatin1String(scan.copies));
        screen.isbnBox()->setText(QLatin1String(scan.isbn));
        QTest::keyClick(screen.isbnBox(), Qt::Key_Return);
        QStringList lines;
        for (int row = 0; row < screen.linesTable()->rowCount(); ++row)
            lines << screen.linesTable()->item(row, 1)->text() + ":" +
                         screen.linesTable()->item(row, 2)->text();
        EXPECT_EQ(lines.join(' '), scan.lines);
    }
    EXPECT_EQ(screen.isbnBox()->text(), "999");
    EXPECT_TRUE(lastMessage().contains("Cannot find this book title"));
    shop.messages.answerNext(false); // 1 more than ordered: not yet
    EXPECT_FALSE(screen.receiveDelivery());
    EXPECT_EQ(stock(), "2 0 1");
    shop.messages.answerNext(true);
    EXPECT_TRUE(screen.receiveDelivery());
    EXPECT_EQ(stock(), "5 0 1");
    EXPECT_EQ(orderNow(1), "2/3/0 received");
    EXPECT_EQ(screen.linesTable()->rowCount(), 0);
    EXPECT_TRUE(lastMessage().startsWith("Delivery 1 received: 3 copies"));
}

// A bill beyond the tolerance is recorded and held with a warning; the payment screen refuses
// it, saying why, until the office approves it.
TEST_F(StockScreens, AHeldBillIsWarnedAndRefusedAtPaymentUntilApproved) {
    order({{1, 2}});
    shop::receive(*session, delivery({{1, 2}}), true); // 12 to be invoiced
    InvoiceScreen invoices(shop.context);
    invoices.numberBox()->setText(QStringLiteral("H-1"));
    invoices.datePicker()->setDate(QDate(2001, 5, 3));
    invoices.amountBox()->setText(QStringLiteral("20"));
    invoices.supplierList()->setText(QStringLiteral("Bertram"));
    invoices.recordInvoice();
    EXPECT_TRUE(lastMessage().startsWith("Bill H-1 is held for the office's approval: its fee "
                                         "differs from the cost of the copies received (12)"))
        << lastMessage().toStdString();
    EXPECT_EQ(shop.db.count("Bill"), 1);

    BillPayScreen pay(shop.context);
    accounting_test::chooseListing(pay, QStringLiteral("Bertram"), QDate(2001, 5, 1),
                                   QDate(2001, 5, 31));
    const struct {
        bool approved;
        int paid;
        const char *told;
    } steps[] = {{false, 0, "Bill H-1 of Bertram is held"}, {true, 1, ""}};
    for (const auto &step : steps) {
        SCOPED_TRACE(step.approved);
        if (step.approved) { // as the office approves it
            HeldBillsScreen held(shop.context);
            ASSERT_TRUE(held.chosenHold());
            shop.messages.answerNext(true);
            held.approve();
        }
        shop.messages.shown.clear();
        pay.queryList();
        accounting_test::selectInvoice(pay, QStringLiteral("H-1"));
        shop.messages.answerNext(true);
        pay.payConfirm();
        EXPECT_EQ(shop.db.count("paidbill"), step.paid);
        EXPECT_TRUE(lastMessage().startsWith(QLatin1String(step.told)));
    }
}

// Renaming a supplier that open orders or held bills name is warned about; others are not.
TEST_F(StockScreens, RenamingASupplierWithOpenOrdersIsWarned) {
    shop.db.exec("INSERT INTO retail (RetName) VALUES ('Bertram'), ('Gardners')");
    order({{1, 2}}, false); // a draft is open
    EditorDefinition retail;
    for (const EditorDefinition &definition : maintenanceScreenTable())
        if (definition.screenId == QLatin1String(screenid::DataRetail))
            retail = definition;
    RecordEditor editor(retail, shop.context);
    SupplierRenameWarning watch(&editor, 2, shop.context);
    const struct {
        const char *stored, *typed, *warning;
    } cases[] = {
        {"Bertram", "Bertram Books", "Bertram has 1 open purchase order(s) and 0 bill(s)"},
        {"Bertram", "Bertram", ""},
        {"Gardners", "Gardners Ltd", ""},
        {"", "New", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        const QString said = watch.warning(QLatin1String(c.stored), QLatin1String(c.typed));
        if (*c.warning)
            EXPECT_TRUE(said.startsWith(QLatin1String(c.warning))) << said.toStdString();
        else
            EXPECT_TRUE(said.isEmpty()) << said.toStdString();
    }
}

} // namespace
