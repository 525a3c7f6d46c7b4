// The supplier's credit set beside its bills on the three bill screens and in the printed bill
// report: what its credit notes take off the bills listed, the credit still expected for
// returns, and nothing at all for a supplier without credit.
#include "accountingfixture.h"
#include "bandedreport.h"
#include "billpayscreen.h"
#include "billprintscreen.h"
#include "billreport.h"
#include "paidrecordsscreen.h"
#include "shopsession.h"
#include "supplierreturns.h"

#include <QFileInfo>
#include <QLabel>
#include <QPrinter>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace accounting_test;

namespace {

// Ace Books has bills of 120, 37.5 and 300 from 2 to 4 May (open and paid alike), one credit
// note of 100 and a return that expects 40 more; O'Hara Books has neither.
class BillCredit : public ::testing::Test {
protected:
    void SetUp() override {
        seedListingBills(shop, "Bill");
        seedListingBills(shop, "paidbill");
        auto session = ShopSession::open(shop.context.shop);
        shop::recordCreditNote(*session, QStringLiteral("Ace Books"), QStringLiteral("CN-1"),
                               QDate(2001, 5, 3), Money::fromUnits(1000000));
        shop.db.exec("INSERT INTO supplierreturns (Supplier, MadeAt, Credit, Login) VALUES "
                     "('Ace Books', '2001-05-03 10:00:00', 40, 'office')");
    }
    TestShop shop;
};

struct Screen {
    const char *name;
    std::function<std::unique_ptr<QWidget>(const ShopContext &)> make;
    std::function<void(QWidget &)> list;
    const char *after; // the last sentence, of open or of paid bills
};

const Screen screens[] = {
    {"Paying Bill", [](const ShopContext &c) { return std::make_unique<BillPayScreen>(c); },
     [](QWidget &w) { static_cast<BillPayScreen &>(w).queryList(); }, "To pay after credit"},
    {"print Bill", [](const ShopContext &c) { return std::make_unique<BillPrintScreen>(c); },
     [](QWidget &w) { static_cast<BillPrintScreen &>(w).queryList(); }, "To pay after credit"},
    {"rec of payed bill",
     [](const ShopContext &c) { return std::make_unique<PaidRecordsScreen>(c); },
     [](QWidget &w) { static_cast<PaidRecordsScreen &>(w).list(); }, "Paid, less credit"},
};

TEST_F(BillCredit, EveryBillScreenSetsTheCreditBesideItsListing) {
    const QDate d2(2001, 5, 2), d3(2001, 5, 3), d4(2001, 5, 4);
    const struct {
        const char *what;
        QString supplier;
        QDate from, to;
        const char *listed; // empty: no credit line
        const char *after;
    } cases[] = {
        {"three bills", "Ace Books", d2, d4, "457.5", "357.5"},
        {"one bill, less than the credit", "Ace Books", d2, d2, "37.5", "-62.5"},
        {"no bill in the period", "Ace Books", d4.addDays(1), d4.addDays(9), "0", "-100"},
        {"a supplier without credit", "O'Hara Books", d2, d4, "", ""},
        {"no supplier chosen", "", d3, d3, "", ""},
    };
    for (const Screen &screen : screens) {
        std::unique_ptr<QWidget> widget = screen.make(shop.context);
        auto *line = widget->findChild<QLabel *>(QStringLiteral("lblCredit"));
        ASSERT_NE(line, nullptr) << screen.name;
        EXPECT_TRUE(line->text().isEmpty()) << screen.name << ": nothing before a listing";
        for (const auto &c : cases) {
            SCOPED_TRACE(std::string(screen.name) + ": " + c.what);
            chooseListing(*widget, c.supplier, c.from, c.to);
            screen.list(*widget);
            const QString expected =
                *c.listed ? QStringLiteral("Bills listed: %1. Credit notes of Ace Books: 100 "
                                           "(credit expected from returns: 40). %2: %3.")
                                .arg(QLatin1String(c.listed), QLatin1String(screen.after),
                                     QLatin1String(c.after))
                          : QString();
            EXPECT_EQ(line->text(), expected);
        }
    }
    EXPECT_TRUE(shop.messages.shown.empty());
}

// A deleted paid bill leaves the sum at once; a refresh lists it again as it now is.
TEST_F(BillCredit, PaidRecordsFollowADelete) {
    PaidRecordsScreen screen(shop.context);
    chooseListing(screen, "Ace Books", QDate(2001, 5, 2), QDate(2001, 5, 4));
    screen.list();
    selectInvoice(screen, "A-3");
    screen.deleteRecord();
    auto *line = screen.findChild<QLabel *>(QStringLiteral("lblCredit"));
    EXPECT_TRUE(line->text().startsWith("Bills listed: 157.5.")) << line->text().toStdString();
    screen.refresh();
    EXPECT_TRUE(line->text().endsWith("Paid, less credit: 57.5.")) << line->text().toStdString();
}

// The printed report carries the credit of the supplier the bills were listed for, under the
// last bill, whatever the drop-down says by the time it prints; the report's own bands stay.
TEST_F(BillCredit, TheBillReportPrintsTheCreditUnderTheBills) {
    BillPrintScreen screen(shop.context);
    chooseListing(screen, "Ace Books", QDate(2001, 5, 2), QDate(2001, 5, 4));
    screen.queryList();
    chooseListing(screen, "O'Hara Books", QDate(2001, 5, 2), QDate(2001, 5, 4));
    const billreport::BillReportData data = billreport::readData(ShopSession::open(shop.db.shop()));
    ASSERT_EQ(data.credit,
              (QStringList{"Bills listed: 457.5.",
                           "Credit notes of Ace Books: 100 (credit expected from returns: 40).",
                           "To pay after credit: 357.5."}));

    const QList<ReportPage> pages = bandedreport::layoutPages(billreport::layout(data.credit),
                                                              data.records, QSize(11906, 16838));
    ASSERT_EQ(pages.size(), 1);
    int lastBill = 0;
    QStringList credit;
    for (const PlacedItem &item : pages[0].items) {
        if (item.name == "Text3")
            lastBill = std::max(lastBill, item.rect.bottom());
        else if (item.name.startsWith("lblCredit")) {
            EXPECT_GT(item.rect.top(), lastBill) << item.name.toStdString();
            credit << item.text;
        }
    }
    EXPECT_EQ(credit, data.credit);
    EXPECT_TRUE(billreport::layout().reportFooter.items.isEmpty());
    EXPECT_EQ(billreport::layout().reportFooter.height, 360);

    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("bill.pdf"));
    EXPECT_EQ(bandedreport::print(printer, billreport::layout(data.credit), data.records), 1);
    EXPECT_GT(QFileInfo(dir.filePath("bill.pdf")).size(), 0);

    // A supplier without credit prints the report as it always was.
    chooseListing(screen, "O'Hara Books", QDate(2001, 5, 2), QDate(2001, 5, 4));
    screen.queryList();
    EXPECT_TRUE(billreport::readData(ShopSession::open(shop.db.shop())).credit.isEmpty());
}

} // namespace
