// The till's session at the counter, on the file and on the server: opened by counting the
// float, cash paid in and out with a reason, closed by a blind count whose Z report shows each
// method's expected, counted and difference; a count that is no amount refused and kept; the
// first sale of a new day asking to close first; the Z report printed again from the list of
// sessions, as stored, on a roll and on A4, through the real print path into PDF files.
#include "blindcountdialog.h"
#include "cashmovementdialog.h"
#include "datagrid.h"
#include "pdfpages.h"
#include "sessionreportview.h"
#include "sessionreportwindow.h"
#include "tillfixture.h"
#include "tillsessionsscreen.h"
#include "xreportscreen.h"

#include <QComboBox>
#include <QPrinter>
#include <QStackedWidget>
#include <QTableView>
#include <QTemporaryDir>

namespace {

class TillWithoutSession : public TillCounter {
protected:
    void SetUp() override { startCounter(false); }
};

QStringList texts(const std::vector<slip::Placed> &placed) {
    QStringList result;
    for (const slip::Placed &item : placed)
        result << item.text;
    return result;
}

} // namespace

TEST_F(TillWithoutSession, TheSessionOpensByCountingTheFloat) {
    sell("111");
    EXPECT_TRUE(told().join(' ').contains("No session is open at this till"));
    EXPECT_EQ(shop.db.count("soldbook"), 0);
    EXPECT_TRUE(screen->hasLookup()); // the sale waits on the screen
    struct Step {
        const char *typed;
        const char *told; // the start of the refusal; empty when it opens
    };
    const Step steps[] = {{"", "The float is not typed yet"},
                          {"a hundred", "The float \"a hundred\" is not an amount of money"},
                          {"-5", "The float cannot be below 0"},
                          {"150.5", ""}};
    CounterSession *counter = screen->tillSession();
    for (const Step &step : steps) {
        SCOPED_TRACE(step.typed);
        typeEnter(counter->floatBox(), step.typed);
        const QStringList messages = told();
        const bool opens = *step.told == '\0';
        EXPECT_EQ(messages.isEmpty(), opens) << messages.join(' ').toStdString();
        if (!opens) {
            EXPECT_TRUE(messages.value(0).startsWith(step.told)) << messages.join(' ').toStdString();
        }
        EXPECT_EQ(counter->floatBox()->text(), opens ? "" : step.typed); // kept to be put right
        EXPECT_EQ(counter->current().has_value(), opens);
        EXPECT_EQ(screen->findChild<QStackedWidget *>("fraSession")->currentIndex(), opens ? 1 : 0);
    }
    EXPECT_EQ(shop.db.rows("SELECT OpeningFloat, Closed IS NULL FROM tillsessions"),
              QStringList{"150.5|1"});
    screen->recordSale(); // the sale that waited
    EXPECT_EQ(shop.db.count("soldbook"), 1);
    EXPECT_EQ(shop.db.rows("SELECT Session FROM receiptsessions"),
              QStringList{QString::number(counter->current()->id)});
}

// The counts are typed without the expected amounts in view; the Z report then sets each
// method's count against what it should hold, and the session's sales, cash in and out.
TEST_F(TillCounter, TheBlindCountClosesTheSessionWithItsZReport) {
    sell("111"); // 12.50 in cash: 20 tendered, 7.50 change
    pay(0, "", "20");
    sell("222"); // 8 by card
    pay(1);
    const std::tuple<bool, const char *, const char *> movements[] = {
        {true, "50", "change from the bank"}, {false, "20", "window cleaner"}};
    for (const auto &[in, amount, reason] : movements) {
        screen->tillSession()->moveCash(in);
        auto *dialog = window<CashMovementDialog>(in ? "dlgCashIn" : "dlgCashOut");
        ASSERT_NE(dialog, nullptr);
        typeEnter(dialog->amountBox(), amount); // Enter goes on to the reason
        EXPECT_TRUE(dialog->reasonBox()->hasFocus() || !dialog->isActiveWindow());
        typeEnter(dialog->reasonBox(), reason);
        EXPECT_FALSE(dialog->isVisible()) << told().join(' ').toStdString();
    }
    screen->tillSession()->closeSession();
    auto *count = window<BlindCountDialog>("dlgBlindCount");
    ASSERT_NE(count, nullptr);
    for (const QLabel *label : count->findChildren<QLabel *>())
        for (const char *expected : {"42.5", "8.00"})
            EXPECT_FALSE(label->text().contains(expected)) << label->text().toStdString();
    ASSERT_EQ(count->methodCount(), 2u);
    typeEnter(count->countBox(0), "40");
    typeEnter(count->countBox(1), "8");
    EXPECT_TRUE(told().isEmpty());
    ASSERT_NE(screen->tillSession()->lastZReport(), nullptr);
    const SessionReport &z = screen->tillSession()->lastZReport()->view()->printed().report;
    EXPECT_TRUE(z.stored);
    EXPECT_EQ(z.receipts, 2);
    EXPECT_EQ(z.sales, money("20.5"));
    EXPECT_EQ(z.cashIn, money("50"));
    EXPECT_EQ(z.cashOut, money("20"));
    struct Line {
        const char *method, *expected, *counted, *difference;
    };
    const Line lines[] = {{"Cash", "42.5", "40", "-2.5"}, {"Card", "8", "8", "0"}};
    ASSERT_EQ(z.methods.size(), std::size(lines));
    for (std::size_t i = 0; i < z.methods.size(); ++i) {
        EXPECT_EQ(z.methods[i].name, lines[i].method);
        EXPECT_EQ(z.methods[i].expected, money(lines[i].expected)) << lines[i].method;
        EXPECT_EQ(z.methods[i].counted, money(lines[i].counted)) << lines[i].method;
        EXPECT_EQ(z.methods[i].difference, money(lines[i].difference)) << lines[i].method;
    }
    EXPECT_FALSE(screen->tillSession()->current().has_value());
    EXPECT_EQ(shop.db.rows("SELECT Closed IS NOT NULL FROM tillsessions"), QStringList{"1"});
}

TEST_F(TillCounter, ACountThatIsNoAmountIsRefusedAndStaysInItsBox) {
    struct Case {
        const char *cash;
        const char *told;
    };
    const Case cases[] = {{"12,x", "The count of Cash \"12,x\" is not an amount of money"},
                          {"", "The count of Cash is not typed yet"},
                          {"-1", "The count of Cash cannot be below 0"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.cash);
        screen->tillSession()->closeSession();
        auto *count = window<BlindCountDialog>("dlgBlindCount");
        ASSERT_NE(count, nullptr);
        count->countBox(1)->setText("0");
        count->countBox(0)->setText(c.cash);
        count->findChild<QPushButton *>("cmdCloseCounted")->click();
        EXPECT_TRUE(toldOnly(c.told));
        EXPECT_TRUE(count->isVisible());
        EXPECT_EQ(count->countBox(0)->text(), c.cash);
        EXPECT_EQ(shop.db.rows("SELECT Closed IS NULL FROM tillsessions"), QStringList{"1"});
        closeWindows();
    }
}

// The first sale on a day after the session opened asks once whether to close it first: OK
// leaves the sale unsold and starts the count; Cancel sells on, and the Z report says that the
// session spans two days.
TEST_F(TillCounter, TheFirstSaleOfANewDayAsksToCloseTheSession) {
    for (const bool closeNow : {true, false}) {
        SCOPED_TRACE(closeNow);
        shop.clock.set(QDate(2001, 5, 4), QTime(0, 10));
        screen = std::make_unique<SellScreen>(shop.context);
        const int salesBefore = shop.db.count("soldbook");
        shop.messages.answerNext(closeNow);
        sell("111");
        const QStringList asked = told();
        ASSERT_EQ(asked.size(), 1);
        EXPECT_TRUE(asked[0].contains("opened on 2001/5/3 and is still open on a new day"));
        EXPECT_EQ(shop.db.count("soldbook"), salesBefore + (closeNow ? 0 : 1));
        EXPECT_EQ(window<BlindCountDialog>("dlgBlindCount") != nullptr, closeNow);
        if (closeNow) {
            closeWindows();
            continue;
        }
        sell("222"); // asked once only
        EXPECT_TRUE(told().isEmpty());
        pay(0, "", "50");
        screen->tillSession()->closeSession();
        auto *count = window<BlindCountDialog>("dlgBlindCount");
        ASSERT_NE(count, nullptr);
        count->countBox(0)->setText("20.5");
        count->countBox(1)->setText("0");
        ASSERT_TRUE(count->closeSession());
        QPrinter printer(QPrinter::HighResolution);
        receipt::setPaper(printer, receipt::Paper::Roll80);
        EXPECT_TRUE(texts(sessionprint::layOut(
                              screen->tillSession()->lastZReport()->view()->printed(), printer))
                        .contains("This session spans 2 days, from 2001/5/3 to 2001/5/4."));
    }
}

// The back office's X report of the session so far is recorded, and the Z report lists it; the
// Z report printed again from the list of sessions is the one stored at the closing, on the
// paper chosen, into a PDF file by the real print path.
TEST_F(TillCounter, TheZReportPrintsAgainFromTheListAsStored) {
    sell("111", "2");
    pay(0, "", "30");
    XReportScreen x(shop.context);
    ASSERT_TRUE(x.showReport());
    const SessionReport &so = x.view()->printed().report;
    EXPECT_FALSE(so.stored);
    EXPECT_EQ(so.methods.at(0).expected, money("25"));
    screen->tillSession()->closeSession();
    auto *count = window<BlindCountDialog>("dlgBlindCount");
    ASSERT_NE(count, nullptr);
    count->countBox(0)->setText("25");
    count->countBox(1)->setText("0");
    ASSERT_TRUE(count->closeSession());
    shop.db.exec("UPDATE Titles SET [Sale Price] = 99"); // nothing is computed again

    TillSessionsScreen list(shop.context);
    list.grid()->view()->setCurrentIndex(list.grid()->model()->index(0, 0));
    SessionReportWindow *reprint = list.showZReport();
    ASSERT_NE(reprint, nullptr);
    const SessionReport &z = reprint->view()->printed().report;
    EXPECT_EQ(z.sales, money("25"));
    EXPECT_EQ(z.methods.at(0).counted, money("25"));
    ASSERT_EQ(z.xReports.size(), 1u);
    QTemporaryDir dir;
    const std::pair<receipt::Paper, double> papers[] = {{receipt::Paper::A4, 595},
                                                        {receipt::Paper::Roll80, 226.8}};
    for (const auto &[paper, width] : papers) {
        const QString path = dir.filePath(receipt::paperName(paper) + ".pdf");
        reprint->view()->choosePaper(paper);
        ASSERT_TRUE(reprint->view()->savePdfTo(path));
        const PdfPages pdf = readPdf(path);
        EXPECT_EQ(pdf.count, 1);
        ASSERT_EQ(pdf.sizes.size(), 1);
        EXPECT_NEAR(pdf.sizes[0].width(), width, 1);
        QPrinter printer(QPrinter::HighResolution);
        receipt::setPaper(printer, paper);
        const QStringList printed = texts(sessionprint::layOut(reprint->view()->printed(), printer));
        EXPECT_TRUE(printed.contains(QString("Session %1").arg(z.session.id)));
        for (const char *row : {"Z Report", "Net sales", "   Expected", "   Counted",
                                "   Difference", "X report opened 2001/5/3 10:30:00"})
            EXPECT_TRUE(printed.contains(row)) << row;
    }
    EXPECT_FALSE(reprint->view()->savePdfTo(dir.filePath("no such folder/z.pdf")));
    EXPECT_TRUE(told().value(0).startsWith("The report could not be saved"));
}
