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

#include <QApplication>
#include <QComboBox>
#include <QPrinter>
#include <QStackedWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

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
            EXPECT_TRUE(messages.value(0).startsWith(step.told))
                << messages.join(' ').toStdString();
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
        ASSERT_TRUE(closeCounted("20.5", "0"));
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
    ASSERT_TRUE(closeCounted("25", "0"));
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
        const QStringList printed =
            texts(sessionprint::layOut(reprint->view()->printed(), printer));
        EXPECT_TRUE(printed.contains(QString("Session %1").arg(z.session.id)));
        for (const char *row : {"Z Report", "Net sales", "   Expected", "   Counted",
                                "   Difference", "X report opened 2001/5/3 10:30:00"})
            EXPECT_TRUE(printed.contains(row)) << row;
    }
    EXPECT_FALSE(reprint->view()->savePdfTo(dir.filePath("no such folder/z.pdf")));
    EXPECT_TRUE(told().value(0).startsWith("The report could not be saved"));
}

// The whole day from the keyboard: the keys that need a session say so until the float is in;
// then F7 with an Enter after the amount and the reason puts cash in, and F9 with an Enter
// after each count closes the session.
TEST_F(TillWithoutSession, TheDayIsWorkedFromTheKeyboard) {
    screen->show();
    ASSERT_TRUE(activate(screen.get()));
    EXPECT_TRUE(screen->tillSession()->floatBox()->hasFocus());
    const std::pair<Qt::Key, const char *> refused[] = {
        {Qt::Key_F4, "No session is open at this till, so no money can be given back"},
        {Qt::Key_F7, "No session is open at this till: cash is put in"},
        {Qt::Key_F9, "No session is open at this till."}};
    for (const auto &[key, refusal] : refused) {
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_TRUE(toldOnly(refusal)) << refusal;
    }
    const auto enter = [](const QString &typed) { // into the box with the focus, then Enter
        QWidget *box = QApplication::focusWidget();
        ASSERT_NE(box, nullptr);
        QTest::keyClicks(box, typed);
        QTest::keyClick(box, Qt::Key_Return);
    };
    enter("80");
    ASSERT_TRUE(screen->tillSession()->current().has_value());
    EXPECT_TRUE(box("Text1")->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F7);
    auto *cash = window<CashMovementDialog>("dlgCashIn");
    ASSERT_NE(cash, nullptr);
    ASSERT_TRUE(activate(cash));
    enter("20");
    enter("change from the bank");
    EXPECT_EQ(shop.db.rows("SELECT Direction, Amount, Reason FROM cashmovements"),
              QStringList{"in|20|change from the bank"});
    ASSERT_TRUE(activate(screen.get())); // back at the counter once the window closed
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F9);
    auto *count = window<BlindCountDialog>("dlgBlindCount");
    ASSERT_NE(count, nullptr);
    ASSERT_TRUE(activate(count));
    enter("100");
    enter("0");
    ASSERT_NE(screen->tillSession()->lastZReport(), nullptr);
    EXPECT_EQ(
        screen->tillSession()->lastZReport()->view()->printed().report.methods.at(0).difference,
        Money()); // 80 + 20
    EXPECT_TRUE(told().isEmpty());
}

// What the counter refuses is told, stays where it was typed, and changes nothing in the shop.
TEST_F(TillCounter, WhatTheCounterRefusesIsToldAndChangesNothing) {
    const auto cash = [this](bool in, const char *amount, const char *reason) {
        screen->tillSession()->moveCash(in);
        auto *dialog = window<CashMovementDialog>(in ? "dlgCashIn" : "dlgCashOut");
        ASSERT_NE(dialog, nullptr);
        dialog->amountBox()->setText(amount);
        dialog->reasonBox()->setText(reason);
        dialog->findChild<QPushButton *>("cmdRecord")->click();
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->amountBox()->text(), amount);
    };
    struct Case {
        const char *name;
        std::function<void()> act;
        QString told;
    };
    const Case cases[] = {
        {"cash in of 0", [&] { cash(true, "0", "till roll"); },
         "The cash put in must be more than 0."},
        {"cash out of no amount", [&] { cash(false, "five", "window cleaner"); },
         "The cash taken out \"five\" is not an amount of money"},
        {"cash out without a reason", [&] { cash(false, "5", " "); },
         "Type the reason for the cash taken out"},
        {"a close with a receipt not paid",
         [&] {
             sell("111");
             screen->tillSession()->closeSession();
         },
         "The session cannot close while a receipt of this till is not paid: A1 (12.50 to pay)."},
        {"the Z report of the session still open",
         [&] {
             TillSessionsScreen list(shop.context);
             list.grid()->view()->setCurrentIndex(list.grid()->model()->index(0, 0));
             EXPECT_EQ(list.showZReport(), nullptr);
         },
         QString("Session %1 is still open").arg(opened.id)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        c.act();
        EXPECT_TRUE(toldOnly(c.told.toUtf8().constData()));
        EXPECT_EQ(window<BlindCountDialog>("dlgBlindCount"), nullptr);
        EXPECT_EQ(shop.db.count("cashmovements"), 0);
        EXPECT_EQ(shop.db.rows("SELECT Closed IS NULL FROM tillsessions"), QStringList{"1"});
        closeWindows();
    }
}

// The slip of an X or a Z report: what is taken back shows as minus, a Z report counts and
// lists the X reports opened, an X report is the session up to the moment printed.
TEST(SessionReportPrint, TheSlipShowsTheFiguresOfItsKind) {
    SessionReport report;
    report.session = {
        7, 1, "Front", QDateTime(QDate(2001, 5, 3), QTime(9, 0)), {}, money("100"), "anna", {}};
    report.receipts = 3;
    report.sales = money("60");
    report.voids = 1;
    report.voided = money("5");
    report.refunds = 1;
    report.refunded = money("10");
    report.rounding = money("-0.02");
    report.cashIn = money("20");
    report.cashOut = money("15");
    report.methods = {
        {1, "Cash", MethodKind::Cash, money("40"), money("10"), money("135"), {}, Money(), Money()},
        {2, "Card", MethodKind::Card, money("15"), Money(), money("15"), {}, Money(), Money()}};
    const auto a = [](const char *amount) { return receipt::amountText(money(amount), {}); };
    struct Case {
        bool stored;
        QDateTime printed;
        QStringList rows, absent;
    };
    const QDateTime closing(QDate(2001, 5, 3), QTime(18, 0));
    const Case cases[] = {
        {true,
         closing,
         {"Z Report", "Front|Session 7", "Closed 2001/5/3 18:00:00|ben", "Receipts|3",
          "Voids (1 line)|" + a("-5"), "Refunds (1)|" + a("-10"), "Net sales|" + a("45"),
          "Cash rounding|" + a("-0.02"), "Cash out|" + a("-15"), "   Float|" + a("100"),
          "   Refunded|" + a("-10"), "   Counted|" + a("130"), "   Difference|" + a("-5"),
          "X report opened 2001/5/3 12:00:00"},
         {"This session spans"}},
        {false,
         QDateTime(QDate(2001, 5, 4), QTime(1, 0)),
         {"X Report", "So far, at 2001/5/4 01:00:00",
          "This session spans 2 days, from 2001/5/3 to 2001/5/4.", "   Expected|" + a("135")},
         {"   Counted", "   Difference", "X report opened"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.stored);
        sessionprint::Printed printed{report, {}, {}, c.printed};
        printed.report.stored = c.stored;
        if (c.stored) {
            printed.report.session.closed = closing;
            printed.report.session.closedBy = "ben";
            printed.report.methods[0].counted = money("130");
            printed.report.methods[0].difference = money("-5");
            printed.report.methods[1].counted = money("15");
            printed.report.xReports = {QDateTime(QDate(2001, 5, 3), QTime(12, 0))};
        }
        QPrinter printer(QPrinter::HighResolution);
        receipt::setPaper(printer, receipt::Paper::A4);
        // Each line of the slip: its texts side by side.
        QStringList lines;
        double top = -1;
        for (const slip::Placed &item : sessionprint::layOut(printed, printer)) {
            if (!lines.isEmpty() && item.rect.top() == top)
                lines.last() += "|" + item.text;
            else if (!item.text.isEmpty())
                lines << item.text;
            top = item.rect.top();
        }
        for (const QString &row : c.rows)
            EXPECT_TRUE(lines.contains(row)) << row.toStdString();
        for (const QString &row : c.absent)
            for (const QString &line : lines)
                EXPECT_FALSE(line.startsWith(row)) << line.toStdString();
    }
}
